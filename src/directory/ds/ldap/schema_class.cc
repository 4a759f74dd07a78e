#include "directory/ds/ldap/schema_class.h"

#include <set>

#include "directory/ds/dn.h"
#include "directory/ds/ds_error.h"

namespace tessary::ds::ldap {
namespace {

std::vector<std::string> Strings(const Entry& entry, std::string_view name) {
  std::vector<std::string> result;
  for (const Attribute& attribute : entry.attributes) {
    if (AsciiLower(attribute.name) != name) continue;
    for (const Value& value : attribute.values) {
      if (value.string() != nullptr) result.push_back(*value.string());
    }
  }
  return result;
}

void AddOnce(const std::vector<std::string>& names, std::set<std::string>* seen,
             std::vector<std::string>* out) {
  for (const std::string& name : names) {
    if (seen->insert(AsciiLower(name)).second) out->push_back(name);
  }
}

}  // namespace

HRESULT ClassProperties(Session& session, const std::string& class_name,
                        std::vector<std::string>* mandatory, std::vector<std::string>* optional) {
  mandatory->clear();
  optional->clear();
  std::set<std::string> visited, seen_mandatory, seen_optional;
  std::vector<std::string> queue{class_name};
  while (!queue.empty()) {
    std::string name = queue.front();
    queue.erase(queue.begin());
    if (!visited.insert(AsciiLower(name)).second) continue;
    std::vector<Entry> entries;
    HRESULT hr = session.SearchAll(
        session.SchemaNamingContext(), SearchScope::kOneLevel,
        "(&(objectClass=classSchema)(lDAPDisplayName=" + EscapeFilterValue(name) + "))",
        {"subClassOf", "systemMustContain", "mustContain", "systemMayContain", "mayContain",
         "auxiliaryClass", "systemAuxiliaryClass"},
        &entries);
    if (Failed(hr)) return hr;
    if (entries.empty()) return E_DS_NO_SUCH_OBJECT;
    const Entry& entry = entries.front();
    AddOnce(Strings(entry, "systemmustcontain"), &seen_mandatory, mandatory);
    AddOnce(Strings(entry, "mustcontain"), &seen_mandatory, mandatory);
    AddOnce(Strings(entry, "systemmaycontain"), &seen_optional, optional);
    AddOnce(Strings(entry, "maycontain"), &seen_optional, optional);
    for (const char* related : {"subclassof", "auxiliaryclass", "systemauxiliaryclass"}) {
      for (const std::string& other : Strings(entry, related)) queue.push_back(other);
    }
  }
  // An attribute that some class makes mandatory is not optional, whoever lists it as well.
  std::erase_if(*optional, [&](const std::string& name) {
    return seen_mandatory.count(AsciiLower(name)) != 0;
  });
  return S_OK;
}

}  // namespace tessary::ds::ldap
