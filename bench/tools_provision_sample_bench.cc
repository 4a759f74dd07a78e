// tessary-directory provision --sample, in process: a new file with the example.com domain and
// its sample data (300 users with passwords and mailboxes, groups, contacts, computers, the
// Exchange organisation). The target is well under five seconds per run.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "directory_tool.h"

namespace {

void BM_ProvisionSample(benchmark::State& state) {
  std::string pattern = (std::filesystem::temp_directory_path() / "tessary-bench-XXXXXX");
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  int run = 0;
  for (auto _ : state) {
    const std::string path = pattern + "/directory" + std::to_string(run++) + ".db";
    std::ostringstream out, err;
    if (tessary::tools::RunDirectoryTool(
            {"--directory", path, "provision", "--domain", "example.com", "--sample"}, out, err) !=
        0) {
      std::fprintf(stderr, "%s\n", err.str().c_str());
      std::abort();
    }
  }
  std::error_code ignored;
  std::filesystem::remove_all(pattern, ignored);
}
BENCHMARK(BM_ProvisionSample)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
