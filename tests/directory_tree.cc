#include "directory_tree.h"

#include <memory>
#include <vector>

namespace tessary::testing {

HRESULT DeleteTree(ds::Directory& directory, const std::string& dn) {
  std::unique_ptr<ds::Object> object;
  if (HRESULT hr = directory.Bind("LDAP://" + dn, &object); Failed(hr)) return hr;
  HRESULT first_failure = S_OK;
  auto note = [&](HRESULT hr) {
    if (Failed(hr) && Succeeded(first_failure)) first_failure = hr;
    return Succeeded(hr);
  };
  std::unique_ptr<ds::ChildCursor> children;
  std::vector<std::string> child_dns;
  if (note(object->EnumChildren(&children))) {
    for (std::unique_ptr<ds::Object> child; children->Next(&child) == S_OK;) {
      std::string path;
      if (note(child->GetAdsPath(&path))) child_dns.push_back(path.substr(7));  // "LDAP://"
    }
  }
  for (const std::string& child : child_dns) note(DeleteTree(directory, child));
  std::string name, class_name, parent_path;
  std::unique_ptr<ds::Object> parent;
  if (note(object->GetName(&name)) && note(object->GetClass(&class_name)) &&
      note(object->GetParent(&parent_path)) && note(directory.Bind(parent_path, &parent))) {
    note(parent->Delete(class_name, name));
  }
  return first_failure;
}

}  // namespace tessary::testing
