#include "import/rehearsal_schema.h"

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <set>

#include "directory/dn.h"
#include "directory/ds/ads_path.h"
#include "directory/ds/dn.h"
#include "directory/ds/embedded/schema_objects.h"

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

// Runs filter one level below the schema container of directory, handing each row to each_row.
HRESULT SearchSchema(ds::Directory& directory, const std::string& filter,
                     std::vector<std::string> columns,
                     const std::function<void(ds::SearchCursor&)>& each_row) {
  std::unique_ptr<ds::Object> root;
  ds::Value schema_dn;
  HRESULT hr = directory.Bind("LDAP://RootDSE", &root);
  if (Succeeded(hr)) hr = root->Get("schemaNamingContext", &schema_dn);
  if (Failed(hr)) return hr;
  std::unique_ptr<ds::Object> schema;
  hr = directory.Bind(ds::AdsPathOfDn(Text(schema_dn)), &schema);
  if (Failed(hr)) return hr;
  ds::SearchRequest request;
  request.filter = filter;
  request.columns = std::move(columns);
  request.scope = ds::SearchScope::kOneLevel;
  std::unique_ptr<ds::SearchCursor> cursor;
  hr = schema->ExecuteSearch(request, &cursor);
  if (Failed(hr)) return hr;
  for (hr = cursor->GetFirstRow(); hr == S_OK; hr = cursor->GetNextRow()) each_row(*cursor);
  return hr == S_ADS_NOMORE_ROWS ? S_OK : hr;
}

std::string AttributeSchemaFilter(const std::vector<std::string>& names) {
  std::string filter = "(&(objectClass=attributeSchema)(|";
  for (const std::string& name : names) filter += EqualityFilter("lDAPDisplayName", name);
  return filter + "))";
}

ds::Values ColumnValues(ds::SearchCursor& cursor, const std::string& name) {
  ds::Attribute column;
  return cursor.GetColumn(name, &column) == S_OK ? column.values : ds::Values{};
}

HRESULT ReadDefinitions(ds::Directory& directory, const std::vector<std::string>& names,
                        Definitions* definitions) {
  std::vector<std::string> columns = {"lDAPDisplayName"};
  columns.insert(columns.end(), std::begin(kDefinition), std::end(kDefinition));
  return SearchSchema(directory, AttributeSchemaFilter(names), columns, [&](ds::SearchCursor& row) {
    const ds::Values name_values = ColumnValues(row, "lDAPDisplayName");
    if (name_values.empty()) return;
    const std::string name = Text(name_values.front());
    auto& [spelling, fields] = (*definitions)[ds::AsciiLower(name)];
    spelling = name;
    for (const char* field : kDefinition) {
      const ds::Values values = ColumnValues(row, field);
      if (!values.empty()) fields[field] = Text(values.front());
    }
  });
}

// What makes an attributeSchema entry a definition the embedded directory can take.
constexpr const char* kAttributeSchemaColumns[] = {
    "objectClass", "lDAPDisplayName", "adminDisplayName", "cn",          "attributeID",
    "attributeSyntax", "oMSyntax",   "isSingleValued",   "linkID",      "systemOnly",
    "rangeLower",  "rangeUpper",      "schemaIDGUID",     "systemFlags", "searchFlags"};

// A class as the server defines it: the attributes it holds and its auxiliary classes, by
// lower-case lDAPDisplayName.
struct ServerClass {
  std::set<std::string> holds;
  std::set<std::string> auxiliaries;
};

HRESULT ReadServerClasses(ds::Directory& server, std::map<std::string, ServerClass>* classes) {
  const std::vector<std::string> holds = {"mustContain", "mayContain", "systemMustContain",
                                          "systemMayContain"};
  const std::vector<std::string> auxiliaries = {"auxiliaryClass", "systemAuxiliaryClass"};
  std::vector<std::string> columns = {"lDAPDisplayName"};
  columns.insert(columns.end(), holds.begin(), holds.end());
  columns.insert(columns.end(), auxiliaries.begin(), auxiliaries.end());
  return SearchSchema(server, "(objectClass=classSchema)", columns, [&](ds::SearchCursor& row) {
    const ds::Values name = ColumnValues(row, "lDAPDisplayName");
    if (name.empty()) return;
    ServerClass& server_class = (*classes)[ds::AsciiLower(Text(name.front()))];
    for (auto [names, into] : {std::pair{&holds, &server_class.holds},
                               std::pair{&auxiliaries, &server_class.auxiliaries}}) {
      for (const std::string& column : *names) {
        for (const ds::Value& value : ColumnValues(row, column)) {
          into->insert(ds::AsciiLower(Text(value)));
        }
      }
    }
  });
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

bool AddServerAttributes(ds::Directory& server, const std::vector<std::string>& names,
                         ds::embedded::SchemaDefinition* schema,
                         std::vector<std::string>* unplaced, CBVKError& error) {
  unplaced->clear();
  std::set<std::string> known;
  for (const auto& attribute : schema->attributes) {
    known.insert(ds::AsciiLower(attribute.ldap_display_name));
  }
  std::vector<std::string> lacking;
  for (const std::string& name : names) {
    if (!known.contains(ds::AsciiLower(name))) lacking.push_back(name);
  }
  if (lacking.empty()) return true;
  const auto failed = [&](HRESULT hr) {
    error.SetText("Could not read the schema of '" + server.Location() + "'.");
    error.SetADSIError(hr);
    return false;
  };
  ds::embedded::SchemaDefinition read;
  HRESULT hr = SearchSchema(
      server, AttributeSchemaFilter(lacking),
      {std::begin(kAttributeSchemaColumns), std::end(kAttributeSchemaColumns)},
      [&](ds::SearchCursor& row) {
        ds::embedded::AddSchemaObject(
            [&row](const std::string& name) { return ColumnValues(row, name); }, &read);
      });
  if (Failed(hr)) return failed(hr);
  std::map<std::string, std::string> added;  // lower-case name -> as the schema spells it
  for (ds::embedded::AttributeDefinition& attribute : read.attributes) {
    if (attribute.link_id != 0) continue;
    added[ds::AsciiLower(attribute.ldap_display_name)] = attribute.ldap_display_name;
    schema->attributes.push_back(std::move(attribute));
  }
  if (added.empty()) return true;

  std::map<std::string, ServerClass> server_classes;
  if (hr = ReadServerClasses(server, &server_classes); Failed(hr)) return failed(hr);
  std::map<std::string, ds::embedded::ClassDefinition*> ours;
  for (auto& object_class : schema->classes) {
    ours[ds::AsciiLower(object_class.ldap_display_name)] = &object_class;
  }
  std::set<std::string> placed;
  const auto allow = [&](ds::embedded::ClassDefinition& object_class, const ServerClass& holder) {
    for (const auto& [key, name] : added) {
      std::vector<std::string>& may = object_class.may_contain;
      if (!holder.holds.contains(key) || std::find(may.begin(), may.end(), name) != may.end()) {
        continue;
      }
      may.push_back(name);
      placed.insert(key);
    }
  };
  // The copy's classes that take each class as an auxiliary class on the server.
  std::map<std::string, std::vector<ds::embedded::ClassDefinition*>> takers;
  for (const auto& [name, server_class] : server_classes) {
    const auto found = ours.find(name);
    if (found == ours.end()) continue;
    for (const std::string& auxiliary : server_class.auxiliaries) {
      takers[auxiliary].push_back(found->second);
    }
  }
  for (const auto& [name, server_class] : server_classes) {
    if (const auto found = ours.find(name); found != ours.end()) {
      allow(*found->second, server_class);
    } else if (const auto taken = takers.find(name); taken != takers.end()) {
      // A class the copy lacks, such as an auxiliary class of a later schema: its attributes go
      // to the copy's classes that take it.
      for (ds::embedded::ClassDefinition* taker : taken->second) allow(*taker, server_class);
    }
  }
  for (const auto& [key, name] : added) {
    if (!placed.contains(key)) unplaced->push_back(name);
  }
  return true;
}

}  // namespace tessary
