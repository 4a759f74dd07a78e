// The syntax of one schema attribute, for writing its values the right way.

#include <cstdio>

#include "directory/ad_object.h"
#include "directory/dn.h"
#include "directory/syntax_table.h"

namespace tessary {

bool CBVKADObject::GetAttributeInfo(const std::string& schema_naming_context,
                                    std::string* display_name, std::string* ldap_name,
                                    int* ads_type, int* variant_type, bool* single_valued,
                                    std::string* syntax_text) {
  if (ldap_name->empty()) {
    std::unique_ptr<ds::Object> entry;
    int exists = 1;
    if (!Open("CN=" + *display_name + "," + schema_naming_context, &entry, &exists)) {
      Error().SetText(exists == 0 ? "No attribute with the name '" + *display_name +
                                        "' exists in the directory schema."
                                  : "Could not access the attribute with the name '" +
                                        *display_name + "' in the directory schema.");
      return false;
    }
    CBVKADPropertySet values;
    std::string name;
    if (!values.ReadAttribute(*entry, "lDAPDisplayName") ||
        !values.GetText("lDAPDisplayName", &name) || name.empty()) {
      Error().SetText("Could not read the LDAP name of the attribute with the name '" +
                      *display_name + "' in the directory schema.");
      return false;
    }
    *ldap_name = name;
  }

  CBVKADSearch search;
  if (!Search(search, schema_naming_context, EqualityFilter("lDAPDisplayName", *ldap_name),
              {"attributeSyntax", "oMSyntax", "isSingleValued", "adminDisplayName"}, Subtree::No)) {
    Error().SetText(search.error.GetText());
    return false;
  }
  if (search.rows.empty()) {
    Error().SetText("Could not locate the schema attribute with the name '" + *ldap_name + "'.");
    return false;
  }
  CBVKADPropertySet& row = *search.rows.front();
  std::string admin_display_name, attribute_syntax;
  if (!row.GetText("adminDisplayName", &admin_display_name) || admin_display_name.empty()) {
    Error().SetText("Could not locate the display name for the attribute '" + *ldap_name + "'.");
    return false;
  }
  std::int32_t om_syntax = 0;
  bool single = false;
  const CBVKADPropertyEntry* om = row.FindEntry("oMSyntax");
  const CBVKADPropertyEntry* single_entry = row.FindEntry("isSingleValued");
  if (!row.GetText("attributeSyntax", &attribute_syntax) || attribute_syntax.empty() ||
      om == nullptr || om->values.size() != 1 || !row.GetInteger("oMSyntax", &om_syntax) ||
      single_entry == nullptr || single_entry->values.size() != 1 ||
      !row.GetBoolean("isSingleValued", &single)) {
    Error().SetText(
        "Could not locate attribute type information for the schema attribute with the LDAP "
        "name '" +
        *ldap_name + "'.");
    return false;
  }
  AttributeSyntax syntax;
  if (!LookUpSyntax(om_syntax, attribute_syntax, &syntax)) {
    char line[32];
    std::snprintf(line, sizeof line, "OM-Syntax: %d", om_syntax);
    Error().SetText("Could not identify the schema attribute with the LDAP name '" + *ldap_name +
                    "'.");
    Error().AddLine(line);
    Error().AddLine("Attribute-Syntax: " + attribute_syntax);
    return false;
  }
  *display_name = admin_display_name;
  *ads_type = syntax.ads_type;
  *variant_type = syntax.variant_type;
  *single_valued = single;
  if (syntax_text) *syntax_text = syntax.text;
  return true;
}

}  // namespace tessary
