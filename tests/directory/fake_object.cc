#include "fake_object.h"

#include <cstdio>

namespace tessary::testing {

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
