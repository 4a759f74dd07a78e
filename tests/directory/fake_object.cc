#include "fake_object.h"

#include <cstdio>

namespace tessary::testing {
namespace {

class FakeRows : public ds::SearchCursor {
 public:
  explicit FakeRows(std::vector<std::vector<ds::Attribute>> rows) : rows_(std::move(rows)) {}
  HRESULT GetFirstRow() override { return Move(0); }
  HRESULT GetNextRow() override { return Move(row_ + 1); }
  HRESULT GetNextColumnName(std::string* name) override {
    if (column_ >= rows_[row_].size()) return S_ADS_NOMORE_COLUMNS;
    *name = rows_[row_][column_++].name;
    return S_OK;
  }
  HRESULT GetColumn(const std::string& name, ds::Attribute* column) override {
    for (const ds::Attribute& attribute : rows_[row_]) {
      if (attribute.name == name) {
        *column = attribute;
        return S_OK;
      }
    }
    return E_ADS_COLUMN_NOT_SET;
  }

 private:
  HRESULT Move(std::size_t row) {
    row_ = row;
    column_ = 0;
    return row_ < rows_.size() ? S_OK : S_ADS_NOMORE_ROWS;
  }
  std::vector<std::vector<ds::Attribute>> rows_;
  std::size_t row_ = 0;
  std::size_t column_ = 0;
};

}  // namespace

HRESULT FakeObject::ExecuteSearch(const ds::SearchRequest&,
                                  std::unique_ptr<ds::SearchCursor>* cursor) {
  *cursor = std::make_unique<FakeRows>(rows);
  return S_OK;
}

HRESULT FakeObject::GetObjectAttributes(const std::vector<std::string>& names,
                                        std::vector<ds::Attribute>* attributes) {
  attributes->clear();
  for (const std::string& name : names) {
    requests.push_back(name);
    if (Failed(object_attributes_result)) return object_attributes_result;
    int first = 0, last = 0;
    if (std::sscanf(name.c_str(), "Member;Range=%d-%d", &first, &last) == 2) {
      if (members.empty() || first >= static_cast<int>(members.size())) continue;
      ds::Attribute answer;
      answer.type = ds::ADSTYPE_DN_STRING;
      int end = std::min<int>(last, static_cast<int>(members.size()) - 1);
      for (int i = first; i <= end; ++i) answer.values.push_back(ds::Value::String(members[i]));
      answer.name =
          "member;range=" + std::to_string(first) + "-" +
          (end == static_cast<int>(members.size()) - 1 ? std::string("*") : std::to_string(end));
      attributes->push_back(std::move(answer));
      continue;
    }
    auto it = binary.find(name);
    if (it == binary.end()) continue;
    attributes->push_back({name, ds::ADSTYPE_OCTET_STRING, {ds::Value::Octets(it->second)}});
  }
  return S_OK;
}

}  // namespace tessary::testing
