#include "fixture.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace tessary::testing {
namespace {

std::string TextOf(const ds::Value& value) {
  if (const std::string* s = value.string()) return *s;
  if (const std::int32_t* i = value.integer()) return std::to_string(*i);
  if (const std::int64_t* l = value.large_integer()) return std::to_string(*l);
  if (const bool* b = value.boolean()) return *b ? "TRUE" : "FALSE";
  if (value.octets() != nullptr) return "[" + std::to_string(value.octets()->size()) + " bytes]";
  if (value.time() != nullptr) return "[time]";
  return "";
}

}  // namespace


std::string Hex(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
  return text;
}

void ConformanceTest::SetUp() {
  std::string error;
  backend_ = SharedBackend(&error);
  ASSERT_NE(backend_, nullptr) << error;
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "-" + info->name();
  std::replace(name.begin(), name.end(), '/', '-');
  ou_ = "OU=" + name + "-" + std::to_string(getpid()) + "," + backend_->domain_dn();
  (void)DeleteTree(directory(), ou_);
  ASSERT_HR(S_OK, Make(backend_->domain_dn(), "organizationalUnit", ou_.substr(0, ou_.find(','))));
}

void ConformanceTest::TearDown() {
  if (backend_ != nullptr && !ou_.empty()) (void)DeleteTree(directory(), ou_);
}

std::unique_ptr<ds::Object> ConformanceTest::Bind(const std::string& dn) {
  std::unique_ptr<ds::Object> object;
  HRESULT hr = directory().Bind("LDAP://" + dn, &object);
  EXPECT_HR(S_OK, hr) << "binding " << dn;
  return Succeeded(hr) ? std::move(object) : nullptr;
}

HRESULT ConformanceTest::BindResult(const std::string& dn) {
  std::unique_ptr<ds::Object> object;
  return directory().Bind("LDAP://" + dn, &object);
}

HRESULT ConformanceTest::Make(const std::string& parent, const std::string& class_name,
                              const std::string& rdn,
                              const std::vector<std::pair<std::string, std::string>>& values) {
  std::unique_ptr<ds::Object> container;
  HRESULT hr = directory().Bind("LDAP://" + parent, &container);
  if (Failed(hr)) return hr;
  std::unique_ptr<ds::Object> created;
  hr = container->Create(class_name, rdn, &created);
  if (Failed(hr)) return hr;
  for (const auto& [name, text] : values) {
    hr = created->Put(name, ds::Value::String(text));
    if (Failed(hr)) return hr;
  }
  return created->SetInfo();
}

HRESULT ConformanceTest::MakeUser(const std::string& parent, const std::string& cn,
                                  const std::string& sam) {
  return Make(parent, "user", "CN=" + cn, {{"sAMAccountName", sam}});
}

std::vector<std::string> ConformanceTest::Texts(const std::string& dn,
                                                const std::string& attribute) {
  std::vector<std::string> texts;
  std::unique_ptr<ds::Object> object = Bind(dn);
  ds::Values values;
  if (object != nullptr && Succeeded(object->GetEx(attribute, &values))) {
    for (const ds::Value& value : values) texts.push_back(TextOf(value));
  }
  return texts;
}

std::string ConformanceTest::Text(const std::string& dn, const std::string& attribute) {
  std::vector<std::string> texts = Texts(dn, attribute);
  return texts.empty() ? "" : texts.front();
}

HRESULT ConformanceTest::Search(const std::string& base, const std::string& filter,
                                const std::vector<std::string>& columns, ds::SearchScope scope,
                                int page_size, std::vector<Row>* rows) {
  rows->clear();
  std::unique_ptr<ds::Object> object;
  HRESULT hr = directory().Bind("LDAP://" + base, &object);
  if (Failed(hr)) return hr;
  ds::SearchRequest request;
  request.filter = filter;
  request.columns = columns;
  request.scope = scope;
  request.page_size = page_size;
  std::unique_ptr<ds::SearchCursor> cursor;
  hr = object->ExecuteSearch(request, &cursor);
  if (Failed(hr)) return hr;
  for (hr = cursor->GetFirstRow(); hr == S_OK; hr = cursor->GetNextRow()) {
    Row row;
    std::string name;
    HRESULT column_hr;
    while ((column_hr = cursor->GetNextColumnName(&name)) == S_OK) {
      ds::Attribute column;
      if (cursor->GetColumn(name, &column) == S_OK) {
        std::string key = name;
        std::transform(key.begin(), key.end(), key.begin(), ::tolower);
        row[key] = column;
      }
    }
    if (column_hr != S_ADS_NOMORE_COLUMNS) return column_hr;
    rows->push_back(std::move(row));
  }
  return hr == S_ADS_NOMORE_ROWS ? S_OK : hr;
}

std::vector<std::string> ConformanceTest::Names(const std::string& filter, ds::SearchScope scope) {
  std::vector<Row> rows;
  HRESULT hr = Search(ou_, filter, {"name"}, scope, 100, &rows);
  EXPECT_HR(S_OK, hr) << filter;
  std::vector<std::string> names;
  for (const Row& row : rows) {
    auto found = row.find("name");
    if (found != row.end() && !found->second.values.empty()) {
      names.push_back(TextOf(found->second.values.front()));
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace tessary::testing
