// Search with a row handler streams: walking 100,000 rows keeps the resident set flat, while
// collecting the rows grows it. The directory is synthetic (rows made as they are fetched), so
// only the search routine and the value conversion are measured.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <fstream>
#include <string>

#include "directory/ad_object.h"
#include "directory/fake_object.h"

namespace tessary {
namespace {

constexpr int kColumns = 4;
const char* const kColumnNames[kColumns] = {"distinguishedName", "cn", "description", "mail"};

class GeneratedRows : public ds::SearchCursor {
 public:
  explicit GeneratedRows(int count) : count_(count) {}
  HRESULT GetFirstRow() override { return Move(0); }
  HRESULT GetNextRow() override { return Move(row_ + 1); }
  HRESULT GetNextColumnName(std::string* name) override {
    if (column_ >= kColumns) return S_ADS_NOMORE_COLUMNS;
    *name = kColumnNames[column_++];
    return S_OK;
  }
  HRESULT GetColumn(const std::string& name, ds::Attribute* column) override {
    std::string id = std::to_string(row_);
    std::string value = name == "distinguishedName" ? "CN=User " + id + ",OU=Bench,DC=x,DC=com"
                        : name == "mail"            ? "user" + id + "@x.com"
                                                    : name + " of user " + id;
    *column = {name, ds::ADSTYPE_CASE_IGNORE_STRING, {ds::Value::String(value)}};
    return S_OK;
  }

 private:
  HRESULT Move(int row) {
    row_ = row;
    column_ = 0;
    return row_ < count_ ? S_OK : S_ADS_NOMORE_ROWS;
  }
  int count_;
  int row_ = 0;
  int column_ = 0;
};

class GeneratedBase : public testing::FakeObject {
 public:
  explicit GeneratedBase(int rows) : rows_(rows) {}
  HRESULT ExecuteSearch(const ds::SearchRequest&, std::unique_ptr<ds::SearchCursor>* c) override {
    *c = std::make_unique<GeneratedRows>(rows_);
    return S_OK;
  }

 private:
  int rows_;
};

class GeneratedDirectory : public ds::Directory {
 public:
  explicit GeneratedDirectory(int rows) : rows_(rows) {}
  HRESULT Bind(const std::string&, std::unique_ptr<ds::Object>* object) override {
    *object = std::make_unique<GeneratedBase>(rows_);
    return S_OK;
  }
  std::string Location() const override { return "generated"; }

 private:
  int rows_;
};

// Current resident set in KiB (from /proc, so it can also fall).
long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

void RunSearch(benchmark::State& state, bool with_handler) {
  const int rows = static_cast<int>(state.range(0));
  GeneratedDirectory directory(rows);
  CBVKADObject base(&directory);
  long peak_growth = 0;
  std::size_t seen = 0;
  for (auto _ : state) {
    long start = ResidentKiB();
    CBVKADSearch search;
    if (with_handler) {
      search.row_handler = [&](CBVKADPropertySet& row) {
        seen += row.GetEntryCount();
        if ((seen & 0x3FFF) == 0) peak_growth = std::max(peak_growth, ResidentKiB() - start);
        return true;
      };
    }
    if (!base.Search(search, "OU=Bench,DC=x,DC=com", "(objectClass=user)",
                     {kColumnNames, kColumnNames + kColumns}, CBVKADObject::Subtree::Yes)) {
      state.SkipWithError(search.error.GetText().c_str());
      return;
    }
    peak_growth = std::max(peak_growth, ResidentKiB() - start);
    benchmark::DoNotOptimize(search.rows.size());
  }
  state.counters["rows"] = rows;
  state.counters["rss_growth_KiB"] = static_cast<double>(peak_growth);
  state.SetItemsProcessed(state.iterations() * rows);
}

void BM_SearchRowHandler(benchmark::State& state) { RunSearch(state, true); }
void BM_SearchCollectRows(benchmark::State& state) { RunSearch(state, false); }

BENCHMARK(BM_SearchRowHandler)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_SearchCollectRows)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
}  // namespace tessary

BENCHMARK_MAIN();
