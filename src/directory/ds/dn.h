#pragma once
// Distinguished names (RFC 4514) at the directory boundary: split into relative names with the
// escapes resolved, written back with the escapes AD uses, and compared without regard to case.

#include <string>
#include <string_view>
#include <vector>

namespace tessary::ds {

struct Rdn {
  std::string type;   // as written ("CN", "ou", ...)
  std::string value;  // unescaped
  friend bool operator==(const Rdn&, const Rdn&) = default;
};

// Splits "CN=Smith\, John,OU=Sales,DC=x" into its RDNs, leftmost first. Accepts hex escapes
// ("\2C") and a backslash before any character (as ADSI paths write "\/"). Returns false for an
// empty DN, an RDN without "=", a type that is neither a name nor an OID, a trailing lone
// backslash or a multi-valued RDN.
[[nodiscard]] bool ParseDn(std::string_view dn, std::vector<Rdn>* rdns);

// The value with RFC 4514's specials escaped (, + " \ < > ; = and a leading # or space, a
// trailing space).
std::string EscapeRdnValue(std::string_view value);
// "TYPE=escaped value" joined with ",".
std::string FormatRdn(const Rdn& rdn);
std::string FormatDn(const std::vector<Rdn>& rdns);

// A key under which equal DNs compare equal: types lower-cased, values case-folded over all of
// Unicode (CN=Ärger and CN=ärger are one name), escapes normalised. Returns an empty string for a DN that does not parse.
std::string DnKey(std::string_view dn);

// A value for a search filter (RFC 4515): '*', '(', ')', '\' and NUL become \2a, \28, \29, \5c
// and \00, so a value can only ever be compared, never change the filter.
std::string EscapeFilterValue(std::string_view value);

// Lower-cases ASCII letters (the directory's case-insensitive matching of names).
std::string AsciiLower(std::string_view text);
// The same comparison without making lower-cased copies.
bool AsciiCaselessEqual(std::string_view a, std::string_view b);

}  // namespace tessary::ds
