#pragma once
// The ADSI type the LDAP provider gives the values of an attribute syntax, the same for every
// backend.

#include <string_view>

#include "directory/ds/value.h"

namespace tessary::ds {

// By oMSyntax and attributeSyntax: boolean, integer, large integer, UTC time, octet string (SIDs
// and GUIDs too), security descriptor, DN, DN with binary, or one of the string types. An
// unknown syntax is a case-ignore string.
AdsType AdsTypeOfSyntax(int om_syntax, std::string_view attribute_syntax);

}  // namespace tessary::ds
