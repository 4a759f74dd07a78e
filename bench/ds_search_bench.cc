// A one-level search over 100,000 users returning five columns each, walked row by row and
// column by column as the directory classes do; the counter rss_growth_kb shows that the rows
// are streamed (the process grows by a page, not by the result).

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include "ds_bench_directory.h"

namespace tessary::bench {
namespace {

constexpr int kUsers = 100000;

long PeakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void BM_OneLevelSearch100k(benchmark::State& state) {
  BenchDirectory directory;
  std::unique_ptr<ds::Object> domain = directory.Bind("DC=example,DC=com");
  std::unique_ptr<ds::Object> created;
  if (Failed(domain->Create("organizationalUnit", "OU=Bench", &created)) ||
      Failed(created->SetInfo())) {
    state.SkipWithError("no OU");
    return;
  }
  std::unique_ptr<ds::Object> ou = directory.Bind("OU=Bench,DC=example,DC=com");
  for (int i = 0; i < kUsers; ++i) {
    if (Failed(directory.CreateUser(*ou, i))) {
      state.SkipWithError("create failed");
      return;
    }
  }
  long rss_before = PeakRssKb();
  std::int64_t rows = 0;
  for (auto _ : state) {
    ds::SearchRequest request;
    request.filter = "(objectCategory=person)";
    request.columns = {"distinguishedName", "cn", "sAMAccountName", "sn", "description"};
    request.scope = ds::SearchScope::kOneLevel;
    request.page_size = 100;
    std::unique_ptr<ds::SearchCursor> cursor;
    if (Failed(ou->ExecuteSearch(request, &cursor))) {
      state.SkipWithError("search failed");
      return;
    }
    std::int64_t found = 0;
    for (HRESULT hr = cursor->GetFirstRow(); hr == S_OK; hr = cursor->GetNextRow()) {
      std::string name;
      while (cursor->GetNextColumnName(&name) == S_OK) {
        ds::Attribute column;
        if (cursor->GetColumn(name, &column) == S_OK) benchmark::DoNotOptimize(column);
      }
      ++found;
    }
    if (found != kUsers) state.SkipWithError("wrong row count");
    rows += found;
  }
  state.SetItemsProcessed(rows);
  state.counters["rss_growth_kb"] = static_cast<double>(PeakRssKb() - rss_before);
}
BENCHMARK(BM_OneLevelSearch100k)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace tessary::bench

BENCHMARK_MAIN();
