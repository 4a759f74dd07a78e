#pragma once
// Attribute values between LDAP's wire form (strings and octets) and the typed values of the
// directory interface, by the attribute's schema syntax as ADSI maps it.

#include <string>
#include <string_view>

#include "directory/ds/value.h"
#include "platform/hresult.h"

namespace tessary::ds::ldap {

// What the schema says of one attribute (attributeSchema).
struct AttributeInfo {
  std::string name;  // lDAPDisplayName
  int om_syntax = 64;
  std::string attribute_syntax = "2.5.5.12";
  bool single_valued = false;
  AdsType type = ADSTYPE_CASE_IGNORE_STRING;
};

// The typed value of one wire value. A value that does not parse as its syntax (a malformed
// answer) keeps its text as a case-ignore string rather than being lost.
Value ValueFromLdap(std::string_view wire, const AttributeInfo& info);

// The wire form of a value for an attribute of that syntax: booleans as TRUE/FALSE, numbers in
// decimal, times as generalized or UTC time by the syntax, octets as they are. Fails with
// E_ADS_CANT_CONVERT_DATATYPE for an empty value or a time given for a non-time attribute, and
// with E_DS_INVALID_ATTRIBUTE_SYNTAX for text that is not a boolean, number or time where the
// syntax wants one.
[[nodiscard]] HRESULT LdapFromValue(const Value& value, const AttributeInfo& info,
                                    std::string* wire);

// "member;range=0-99" -> "member": the attribute name without its options.
std::string_view BaseAttributeName(std::string_view name);

// "Member;Range=0-99" -> "Member;range=0-99": the options lower-cased as they go on the wire.
// Options are case-insensitive, but Samba only honours "range=" in lower case and answers
// "Range=" with the whole, unranged list.
std::string WireAttributeName(std::string_view name);

}  // namespace tessary::ds::ldap

namespace tessary::ds::ldap {

// The password as AD takes it in unicodePwd: in double quotes, UTF-16LE. Fails for text that is
// not valid UTF-8.
[[nodiscard]] bool UnicodePwdValue(std::string_view password, std::string* wire);

}  // namespace tessary::ds::ldap
