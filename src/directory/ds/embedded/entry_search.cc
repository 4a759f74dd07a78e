#include "directory/ds/embedded/entry_search.h"

#include <deque>
#include <mutex>

#include "directory/ds/ads_path.h"
#include "directory/ds/dn.h"
#include "directory/ds/ds_error.h"
#include "directory/ds/embedded/filter.h"
#include "directory/ds/embedded/record_view.h"

namespace tessary::ds::embedded {
namespace {

constexpr int kDefaultPageSize = 256;

class EmbeddedSearch : public SearchCursor {
 public:
  EmbeddedSearch(std::shared_ptr<Store> store, const ObjectRecord& base,
                 const SearchRequest& request, std::unique_ptr<CompiledFilter> filter,
                 std::set<int> wanted, bool all_columns)
      : store_(std::move(store)),
        base_id_(base.id),
        base_nc_(base.nc),
        base_path_(base.path),
        scope_(request.scope),
        filter_(std::move(filter)),
        wanted_(std::move(wanted)),
        all_columns_(all_columns),
        columns_(request.columns),
        page_size_(request.page_size > 0 ? request.page_size : kDefaultPageSize) {}

  HRESULT GetFirstRow() override {
    page_.clear();
    exhausted_ = false;
    base_done_ = false;
    last_id_ = 0;
    last_path_ = base_path_;
    return GetNextRow();
  }

  HRESULT GetNextRow() override {
    row_.reset();
    row_attributes_.clear();
    row_ready_ = false;
    next_column_ = 0;
    if (page_.empty() && !exhausted_) {
      if (HRESULT hr = FetchPage(); Failed(hr)) return hr;
    }
    if (page_.empty()) return S_ADS_NOMORE_ROWS;
    row_ = std::move(page_.front());
    page_.pop_front();
    return S_OK;
  }

  HRESULT GetNextColumnName(std::string* name) override {
    if (!row_) return S_ADS_NOMORE_COLUMNS;
    PrepareRow();
    if (next_column_ >= row_attributes_.size()) return S_ADS_NOMORE_COLUMNS;
    *name = row_attributes_[next_column_++].name;
    return S_OK;
  }

  HRESULT GetColumn(const std::string& name, Attribute* column) override {
    if (!row_) return E_ADS_COLUMN_NOT_SET;
    PrepareRow();
    for (const Attribute& attribute : row_attributes_) {
      if (AsciiCaselessEqual(attribute.name, name)) {
        *column = attribute;
        return S_OK;
      }
    }
    return E_ADS_COLUMN_NOT_SET;
  }

 private:
  void PrepareRow() {
    if (row_ready_) return;
    row_ready_ = true;
    std::lock_guard lock(store_->mutex());
    if (all_columns_) {
      row_attributes_ = AllAttributes(*store_, *row_);
      return;
    }
    for (const std::string& name : columns_) {
      Attribute attribute;
      if (AsciiLower(name) == "adspath") {
        row_attributes_.push_back({name,
                                   ADSTYPE_CASE_IGNORE_STRING,
                                   {Value(ADSTYPE_CASE_IGNORE_STRING, AdsPathOfDn(row_->dn))}});
      } else if (AttributeOf(*store_, *row_, name, &attribute)) {
        attribute.name = name;  // ADSI answers with the column name as it was asked for
        row_attributes_.push_back(std::move(attribute));
      }
    }
  }

  // Keeps the candidate when it is in this naming context and matches the filter.
  bool Take(ObjectRecord record) {
    if (record.nc != base_nc_ && record.id != base_id_) return false;
    if (!filter_->Matches(Candidate{&record})) return false;
    page_.push_back(std::move(record));
    return true;
  }

  HRESULT ReadRow(Statement* s, ObjectRecord* record) {
    record->id = s->Int(0);
    record->parent = s->Int(1);
    record->nc = s->Int(2);
    record->path = s->Text(3);
    record->dn = s->Text(4);
    auto guid = s->Blob(5);
    record->guid.assign(guid.begin(), guid.end());
    bool ok = all_columns_ ? DecodeAttributes(s->Blob(6), &record->attributes)
                           : DecodeSomeAttributes(
                                 s->Blob(6), [this](int n) { return wanted_.contains(n); },
                                 &record->attributes);
    return ok ? S_OK : E_FAIL;
  }

  HRESULT FetchPage() {
    std::lock_guard lock(store_->mutex());
    if (scope_ == SearchScope::kBase || (scope_ == SearchScope::kSubtree && !base_done_)) {
      base_done_ = true;
      ObjectRecord base;
      if (HRESULT hr = store_->FindById(base_id_, &base); Failed(hr)) return hr;
      Take(std::move(base));
      if (scope_ == SearchScope::kBase) {
        exhausted_ = true;
        return S_OK;
      }
    }
    Statement* s = nullptr;
    if (scope_ == SearchScope::kOneLevel) {
      s = store_->database().Prepare(
          "SELECT id, parent, nc, path, dn, guid, attrs FROM objects"
          " WHERE parent = ?1 AND id > ?2 ORDER BY id LIMIT ?3");
    } else {
      s = store_->database().Prepare(
          "SELECT id, parent, nc, path, dn, guid, attrs FROM objects"
          " WHERE path > ?1 AND path < ?2 ORDER BY path LIMIT ?3");
    }
    if (s == nullptr) return E_FAIL;
    std::string end = base_path_;
    end.back() = static_cast<char>('/' + 1);
    while (static_cast<int>(page_.size()) < page_size_ && !exhausted_) {
      if (scope_ == SearchScope::kOneLevel) {
        s->BindInt(1, base_id_);
        s->BindInt(2, last_id_);
      } else {
        s->BindText(1, last_path_);
        s->BindText(2, end);
      }
      s->BindInt(3, page_size_);
      int rows = 0;
      Statement::Step step;
      while ((step = s->Next()) == Statement::Step::kRow) {
        ++rows;
        ObjectRecord record;
        if (ReadRow(s, &record) != S_OK) {
          s->Reset();
          return E_FAIL;
        }
        last_id_ = record.id;
        last_path_ = record.path;
        Take(std::move(record));
      }
      s->Reset();
      if (step == Statement::Step::kError) return E_FAIL;
      if (rows < page_size_) exhausted_ = true;
    }
    return S_OK;
  }

  std::shared_ptr<Store> store_;
  std::int64_t base_id_;
  std::int64_t base_nc_;
  std::string base_path_;
  SearchScope scope_;
  std::unique_ptr<CompiledFilter> filter_;
  std::set<int> wanted_;
  bool all_columns_;
  std::vector<std::string> columns_;
  int page_size_;

  std::deque<ObjectRecord> page_;
  bool exhausted_ = false;
  bool base_done_ = false;
  std::int64_t last_id_ = 0;
  std::string last_path_;

  std::optional<ObjectRecord> row_;
  std::vector<Attribute> row_attributes_;
  bool row_ready_ = false;
  std::size_t next_column_ = 0;
};

}  // namespace

HRESULT StartSearch(std::shared_ptr<Store> store, const ObjectRecord& base,
                    const SearchRequest& request, std::unique_ptr<SearchCursor>* cursor) {
  FilterNode parsed;
  std::string reason;
  if (!ParseFilter(request.filter, &parsed, &reason)) return E_ADS_INVALID_FILTER;
  std::unique_ptr<CompiledFilter> filter;
  std::set<int> wanted;
  if (HRESULT hr = CompileFilter(parsed, *store, &filter, &wanted); Failed(hr)) return hr;
  bool all_columns = request.columns.empty();
  for (const std::string& column : request.columns) {
    if (column == "*") all_columns = true;
    std::string name = column.substr(0, column.find(';'));
    if (const AttributeType* type = store->schema().FindAttribute(name))
      wanted.insert(type->number);
  }
  SearchRequest effective = request;
  if (all_columns) effective.columns.clear();
  *cursor = std::make_unique<EmbeddedSearch>(store, base, effective, std::move(filter),
                                             std::move(wanted), all_columns);
  return S_OK;
}

}  // namespace tessary::ds::embedded
