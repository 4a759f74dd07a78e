#pragma once
// The attributes a schema class must and may have, as IADsClass answers: its own
// systemMustContain/mustContain (systemMayContain/mayContain) and those of its superclasses and
// auxiliary classes, each name once, the class's own first.

#include <string>
#include <vector>

#include "directory/ds/ldap/session.h"

namespace tessary::ds::ldap {

// Fails with E_DS_NO_SUCH_OBJECT when the class (or a class it names) is not in the schema.
[[nodiscard]] HRESULT ClassProperties(Session& session, const std::string& class_name,
                                      std::vector<std::string>* mandatory,
                                      std::vector<std::string>* optional);

}  // namespace tessary::ds::ldap
