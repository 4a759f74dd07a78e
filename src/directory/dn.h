#pragma once
// The written form of distinguished names and of the search values built from them. Every path
// passes through NormalizeDN before it is bound, and every DN read back is stored in that form,
// so two spellings of one name never compare different.

#include <string>

namespace tessary {

class CBVKError;

// Rewrites a DN in place without changing the object it names: CN=/OU=/DC= types upper-cased
// and written without the blanks a DN may hold around them ("CN=x, ou = y" becomes
// "CN=x,OU=y"), every special character of a name escaped exactly once (hex escapes such as
// "\0A" kept), and a comma directly before CN=/OU=/DC= (in any case, after any blanks) always a
// separator, any other comma part of the name. A path that does not begin with CN=/OU=/DC= only has
// those types upper-cased; X.500 names ("/o=...") and GUID paths ("<GUID=...>") are left as they
// are. Never fails.
void NormalizeDN(std::string& path);

// Splits "CN=John,OU=Sales,DC=x" into the parent "OU=Sales,DC=x" and the RDN value "John".
// Fails, with the message in `error`, when the DN has no ",CN=" or ",OU=" separator.
[[nodiscard]] bool SplitDN(const std::string& dn, std::string* parent, std::string* rdn_value,
                           CBVKError& error);

// "DC=a,DC=b" -> "a.b".
std::string DNToDomainName(const std::string& dn);

// The 32 lower-case hex digits of a GUID written with or without braces and dashes.
std::string GuidDigits(const std::string& guid_text);

// "(" + attribute + "=" + escaped value + ")".
std::string EqualityFilter(const std::string& attribute, const std::string& value);

}  // namespace tessary
