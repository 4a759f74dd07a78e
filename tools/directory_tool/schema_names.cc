#include "schema_names.h"

#include <algorithm>
#include <ostream>
#include <vector>

#include "failure_text.h"

namespace tessary::tools {
namespace {

// Writes one column of the schema objects of one class, sorted and each once; objects without
// it are left out, as an option cannot name them.
bool WriteSchemaColumn(ds::Directory& directory, const char* object_class, const char* column,
                       const std::string& failure, std::ostream& out, std::string* error) {
  std::unique_ptr<ds::Object> root_dse, schema;
  ds::Value context;
  HRESULT hr = directory.Bind("LDAP://RootDSE", &root_dse);
  if (Succeeded(hr)) hr = root_dse->Get("schemaNamingContext", &context);
  if (Succeeded(hr) && !context.string()) hr = E_ADS_PROPERTY_NOT_FOUND;
  if (Succeeded(hr)) hr = directory.Bind("LDAP://" + *context.string(), &schema);
  ds::SearchRequest request;
  request.filter = "(objectClass=" + std::string(object_class) + ")";
  request.columns = {column};
  request.scope = ds::SearchScope::kOneLevel;
  request.page_size = 1000;
  std::unique_ptr<ds::SearchCursor> cursor;
  if (Succeeded(hr)) hr = schema->ExecuteSearch(request, &cursor);
  if (Succeeded(hr)) hr = cursor->GetFirstRow();
  std::vector<std::string> names;
  for (; hr == S_OK; hr = cursor->GetNextRow()) {
    ds::Attribute values;
    if (Succeeded(cursor->GetColumn(column, &values)) && !values.values.empty() &&
        values.values.front().string() && !values.values.front().string()->empty())
      names.push_back(*values.values.front().string());
  }
  if (hr != S_ADS_NOMORE_ROWS) {
    *error = FailureText(failure, hr);
    return false;
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  for (const std::string& name : names) out << name << "\n";
  return true;
}

}  // namespace

bool WriteClassNames(ds::Directory& directory, std::ostream& out, std::string* error) {
  return WriteSchemaColumn(directory, "classSchema", "adminDisplayName",
                           "Could not read the classes of the schema.", out, error);
}

bool WriteAttributeNames(ds::Directory& directory, std::ostream& out, std::string* error) {
  return WriteSchemaColumn(directory, "attributeSchema", "lDAPDisplayName",
                           "Could not read the attributes of the schema.", out, error);
}

}  // namespace tessary::tools
