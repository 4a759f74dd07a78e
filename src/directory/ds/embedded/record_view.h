#pragma once
// An object's attributes as the interface hands them out: the stored ones converted to typed
// values, and the ones AD constructs (distinguishedName, name, objectGUID, canonicalName and the
// back links such as memberOf).

#include <string>
#include <string_view>
#include <vector>

#include "directory/ds/embedded/store.h"
#include "directory/ds/value.h"

namespace tessary::ds::embedded {

// Every attribute that a read of the whole object returns, stored ones first.
std::vector<Attribute> AllAttributes(Store& store, const ObjectRecord& record);
// One attribute by name; false when the object has no value for it (or the name is unknown).
[[nodiscard]] bool AttributeOf(Store& store, const ObjectRecord& record, std::string_view name,
                               Attribute* attribute);
// "example.com/Users/John Smith" of a DN.
std::string CanonicalName(const std::string& dn);

}  // namespace tessary::ds::embedded
