#include "import/rehearsal_schema.h"

#include <map>
#include <memory>

#include "directory/dn.h"
#include "directory/ds/ads_path.h"
#include "directory/ds/dn.h"

namespace tessary {
namespace {

// What decides whether a value is taken, in the order a sentence names it.
constexpr const char* kDefinition[] = {"isSingleValued", "attributeSyntax", "oMSyntax",
                                       "rangeLower", "rangeUpper"};

// lower-case lDAPDisplayName -> (name as the schema spells it, field -> value as text).
using Definitions = std::map<std::string, std::pair<std::string, std::map<std::string, std::string>>>;

std::string Text(const ds::Value& value) {
  if (const std::string* text = value.string()) return *text;
  if (const std::int32_t* number = value.integer()) return std::to_string(*number);
  if (const bool* flag = value.boolean()) return *flag ? "TRUE" : "FALSE";
  if (const std::int64_t* large = value.large_integer()) return std::to_string(*large);
  return {};
}

HRESULT ReadDefinitions(ds::Directory& directory, const std::vector<std::string>& names,
                        Definitions* definitions) {
  std::unique_ptr<ds::Object> root;
  ds::Value schema_dn;
  HRESULT hr = directory.Bind("LDAP://RootDSE", &root);
  if (Succeeded(hr)) hr = root->Get("schemaNamingContext", &schema_dn);
  if (Failed(hr)) return hr;
  std::unique_ptr<ds::Object> schema;
  hr = directory.Bind(ds::AdsPathOfDn(Text(schema_dn)), &schema);
  if (Failed(hr)) return hr;
  ds::SearchRequest request;
  request.filter = "(&(objectClass=attributeSchema)(|";
  for (const std::string& name : names) request.filter += EqualityFilter("lDAPDisplayName", name);
  request.filter += "))";
  request.columns = {"lDAPDisplayName"};
  request.columns.insert(request.columns.end(), std::begin(kDefinition), std::end(kDefinition));
  request.scope = ds::SearchScope::kOneLevel;
  std::unique_ptr<ds::SearchCursor> cursor;
  hr = schema->ExecuteSearch(request, &cursor);
  if (Failed(hr)) return hr;
  for (hr = cursor->GetFirstRow(); hr == S_OK; hr = cursor->GetNextRow()) {
    ds::Attribute column;
    if (cursor->GetColumn("lDAPDisplayName", &column) != S_OK || column.values.empty()) continue;
    const std::string name = Text(column.values.front());
    auto& [spelling, fields] = (*definitions)[ds::AsciiLower(name)];
    spelling = name;
    for (const char* field : kDefinition) {
      if (cursor->GetColumn(field, &column) == S_OK && !column.values.empty()) {
        fields[field] = Text(column.values.front());
      }
    }
  }
  return hr == S_ADS_NOMORE_ROWS ? S_OK : hr;
}

std::string Described(const std::map<std::string, std::string>& fields) {
  std::string text;
  for (const char* field : kDefinition) {
    const auto found = fields.find(field);
    text += std::string(text.empty() ? "" : ", ") + field + " " +
            (found == fields.end() ? "(none)" : found->second);
  }
  return text;
}

}  // namespace

bool CompareAttributeSchemas(ds::Directory& server, ds::Directory& copy,
                             const std::vector<std::string>& names, SchemaComparison* comparison,
                             CBVKError& error) {
  *comparison = {};
  if (names.empty()) return true;
  Definitions theirs, ours;
  for (auto [directory, definitions] : {std::pair{&server, &theirs}, std::pair{&copy, &ours}}) {
    if (HRESULT hr = ReadDefinitions(*directory, names, definitions); Failed(hr)) {
      error.SetText("Could not read the schema of '" + directory->Location() + "'.");
      error.SetADSIError(hr);
      return false;
    }
  }
  for (const auto& [key, definition] : theirs) {
    const auto& [name, fields] = definition;
    const auto found = ours.find(key);
    if (found == ours.end()) {
      comparison->missing.push_back(name);
    } else if (found->second.second != fields) {
      comparison->differences.push_back("The server's schema gives the attribute '" + name +
                                        "' " + Described(fields) + "; the rehearsal's gives " +
                                        Described(found->second.second) + ".");
    }
  }
  return true;
}

}  // namespace tessary
