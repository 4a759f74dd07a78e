// Creating users in the embedded directory, each committed on its own (one transaction each).

#include <benchmark/benchmark.h>

#include "ds_bench_directory.h"

namespace tessary::bench {
namespace {

void BM_CreateUserWithCommit(benchmark::State& state) {
  BenchDirectory directory;
  std::unique_ptr<ds::Object> users = directory.Bind("CN=Users,DC=example,DC=com");
  int i = 0;
  for (auto _ : state) {
    if (Failed(directory.CreateUser(*users, i++))) state.SkipWithError("create failed");
  }
  state.SetItemsProcessed(i);
}
BENCHMARK(BM_CreateUserWithCommit)->Unit(benchmark::kMicrosecond)->MinTime(3.0)->UseRealTime();

}  // namespace
}  // namespace tessary::bench

BENCHMARK_MAIN();
