#pragma once
// Values between the interface and the file, by the attribute's syntax: what a client puts is
// checked and converted as AD would (a bad value is an invalid syntax, a DN naming no object is
// no such object); what is stored comes back with the attribute's ADSI type.

#include <string>

#include "directory/ds/directory_time.h"
#include "directory/ds/embedded/schema.h"
#include "directory/ds/embedded/store.h"
#include "directory/ds/embedded/stored_value.h"
#include "directory/ds/value.h"
#include "platform/hresult.h"

namespace tessary::ds::embedded {

// S_OK, E_DS_INVALID_ATTRIBUTE_SYNTAX, or E_DS_NO_SUCH_OBJECT for a DN that names nothing.
[[nodiscard]] HRESULT ToStored(Store& store, const AttributeType& type, const Value& value,
                               Stored* stored);
// False when the value is a link to an object that no longer exists.
[[nodiscard]] bool ToValue(Store& store, const AttributeType& type, const Stored& stored,
                           Value* value);
// Equal as the attribute's matching rule sees them (texts without regard to case).
bool SameValue(const AttributeType& type, const Stored& a, const Stored& b);

// 100-nanosecond intervals since 1601 (pwdLastSet, accountExpires).
std::int64_t FileTimeOf(UtcTime time);
// Number of characters (code points) of UTF-8 text.
std::size_t CharacterCount(const std::string& text);

}  // namespace tessary::ds::embedded
