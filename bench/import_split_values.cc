// SplitValues over a 100 MB import file of 10-column lines, as the run splits each entry.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "import/split_values.h"

namespace {

std::string MakeFile(std::size_t target_bytes) {
  std::string text;
  text.reserve(target_bytes + 256);
  for (std::size_t i = 0; text.size() < target_bytes; ++i) {
    const std::string n = std::to_string(i);
    text += "Modify,CN=User " + n + ",OU=Sales,DC=example,DC=com" + ",user" + n +
            ",Given,Family,\"Sales, North\",+1 555 0100," + n + ",TRUE,Desk " + n + "\r\n";
  }
  return text;
}

void BM_SplitValues100MB(benchmark::State& state) {
  static const std::string file = MakeFile(100u << 20);
  std::vector<std::string> values;
  for (auto _ : state) {
    std::size_t count = 0;
    std::string_view rest(file);
    while (!rest.empty()) {
      const char* end = static_cast<const char*>(std::memchr(rest.data(), '\n', rest.size()));
      std::size_t length = end ? static_cast<std::size_t>(end - rest.data()) : rest.size();
      std::string_view line = rest.substr(0, length);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      values.clear();
      tessary::SplitValues(line, tessary::kLineSeparator, values);
      count += values.size();
      rest.remove_prefix(end ? length + 1 : length);
    }
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_SplitValues100MB)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
