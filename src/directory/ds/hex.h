#pragma once
// Octets as lower-case hex text and back: GUID paths ("<GUID=...>") and GetGuid answers.

#include <string>
#include <string_view>

#include "directory/ds/value.h"

namespace tessary::ds {

std::string HexOf(const Bytes& bytes);
// Either case; empty for an odd length or a character that is no hex digit.
Bytes BytesOfHex(std::string_view hex);

}  // namespace tessary::ds
