#include "directory/schema_object.h"

#include "directory/ad_object.h"
#include "directory/dn.h"

namespace tessary {

bool CBVKADSchemaObject::GetClassProperties(ds::Directory& directory,
                                            std::vector<std::string>* names) {
  names->clear();
  const std::string path = "LDAP://schema/" + LDAPDisplayName;
  std::unique_ptr<ds::Object> schema_class;
  if (HRESULT hr = directory.Bind(path, &schema_class); Failed(hr)) {
    error_.SetText("Could not open the object '" + path + "'.");
    error_.SetADSIError(hr);
    return false;
  }
  std::vector<std::string> optional, mandatory;
  if (HRESULT hr = schema_class->GetOptionalProperties(&optional); Failed(hr)) {
    error_.SetText("Could not retrieve the optional property set for the object '" + path + "'.");
    error_.SetADSIError(hr);
    return false;
  }
  if (HRESULT hr = schema_class->GetMandatoryProperties(&mandatory); Failed(hr)) {
    error_.SetText("Could not retrieve the mandatory property set for the object '" + path + "'.");
    error_.SetADSIError(hr);
    return false;
  }
  *names = std::move(optional);
  names->insert(names->end(), mandatory.begin(), mandatory.end());
  return true;
}

bool CBVKADSchemaObject::CompleteFromDirectory(ds::Directory& directory,
                                               const std::string& schema_naming_context) {
  const std::string filter = EqualityFilter("lDAPDisplayName", LDAPDisplayName);
  CBVKADObject schema(&directory);
  CBVKADSearch search;
  std::string admin_display_name, dn;
  bool found = false;
  search.row_handler = [&](CBVKADPropertySet& row) {
    found = row.GetText("distinguishedName", &dn) &&
            row.GetText("adminDisplayName", &admin_display_name) && !dn.empty() &&
            !admin_display_name.empty();
    return false;  // the first row decides
  };
  if (!schema.Search(search, schema_naming_context, filter,
                     {"distinguishedName", "adminDisplayName"}, CBVKADObject::Subtree::Yes)) {
    error_.SetText(search.error.GetText());
    return false;
  }
  if (!found) {
    error_.SetText("Could not locate information for the schema attribute '" + filter + "'.");
    return false;
  }
  AdminDisplayName = admin_display_name;
  SchemaDN = dn;
  return true;
}

}  // namespace tessary
