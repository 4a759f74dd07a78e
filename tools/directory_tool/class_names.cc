#include "class_names.h"

#include <algorithm>
#include <ostream>
#include <vector>

#include "failure_text.h"

namespace tessary::tools {

bool WriteClassNames(ds::Directory& directory, std::ostream& out, std::string* error) {
  std::unique_ptr<ds::Object> root_dse, schema;
  ds::Value context;
  HRESULT hr = directory.Bind("LDAP://RootDSE", &root_dse);
  if (Succeeded(hr)) hr = root_dse->Get("schemaNamingContext", &context);
  if (Succeeded(hr) && !context.string()) hr = E_ADS_PROPERTY_NOT_FOUND;
  if (Succeeded(hr)) hr = directory.Bind("LDAP://" + *context.string(), &schema);
  ds::SearchRequest request;
  request.filter = "(objectClass=classSchema)";
  request.columns = {"adminDisplayName"};
  request.scope = ds::SearchScope::kOneLevel;
  request.page_size = 1000;
  std::unique_ptr<ds::SearchCursor> cursor;
  if (Succeeded(hr)) hr = schema->ExecuteSearch(request, &cursor);
  if (Succeeded(hr)) hr = cursor->GetFirstRow();
  std::vector<std::string> names;
  for (; hr == S_OK; hr = cursor->GetNextRow()) {
    ds::Attribute column;
    // A class without an admin display name cannot be named on the command line.
    if (Succeeded(cursor->GetColumn("adminDisplayName", &column)) && !column.values.empty() &&
        column.values.front().string() && !column.values.front().string()->empty())
      names.push_back(*column.values.front().string());
  }
  if (hr != S_ADS_NOMORE_ROWS) {
    *error = FailureText("Could not read the classes of the schema.", hr);
    return false;
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  for (const std::string& name : names) out << name << "\n";
  return true;
}

}  // namespace tessary::tools
