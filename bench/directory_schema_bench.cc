// LoadSchemaAttributes from a Schema.dat of 1,800 entries (about the size of an Exchange-extended
// Windows 2000 schema).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "directory/ex_domain.h"

namespace tessary {
namespace {

void BM_LoadSchemaAttributesFromCache(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("tessary-schema-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "Schema.dat").string();
  {
    std::ofstream file(path, std::ios::binary);
    for (int i = 0; i < entries; ++i) {
      std::string n = std::to_string(i);
      file << "Attribute-Name-" << n << "$$$attributeName" << n << "$$$CN=Attribute-Name-" << n
           << ",CN=Schema,CN=Configuration,DC=example,DC=com\r\n";
    }
  }
  for (auto _ : state) {
    CExDomain domain(nullptr);
    domain.SetSchemaCachePath(path);
    if (!domain.LoadSchemaAttributes()) {
      state.SkipWithError(domain.Error().GetText().c_str());
      break;
    }
    benchmark::DoNotOptimize(domain.SchemaAttributes.size());
  }
  std::filesystem::remove_all(folder);
  state.SetItemsProcessed(state.iterations() * entries);
}

BENCHMARK(BM_LoadSchemaAttributesFromCache)->Arg(1800)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessary

BENCHMARK_MAIN();
