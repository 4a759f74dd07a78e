// libFuzzer target for distinguished names: a DN that parses must format into one that parses to
// the same names under the same key; NormalizeDN must be idempotent and must not change which
// object a parsable DN names (apart from its documented rule that a comma before CN=, OU= or DC=
// always separates).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "directory/dn.h"
#include "directory/ds/dn.h"

namespace {

// True when a naming type (CN, OU or DC in any case, with blanks before it and around its "=")
// starts at pos.
bool NamingTypeAt(const std::string& lower, std::size_t pos) {
  while (pos < lower.size() && lower[pos] == ' ') ++pos;
  if (pos + 2 > lower.size()) return false;
  const std::string type = lower.substr(pos, 2);
  if (type != "cn" && type != "ou" && type != "dc") return false;
  pos += 2;
  while (pos < lower.size() && lower[pos] == ' ') ++pos;
  return pos < lower.size() && lower[pos] == '=';
}

// True where NormalizeDN's separator rule deliberately turns an escaped comma (one preceded by an
// odd number of backslashes) before a naming type into a separator.
bool HasEscapedCommaBeforeType(const std::string& dn) {
  const std::string lower = tessary::ds::AsciiLower(dn);
  for (std::size_t at = lower.find(','); at != std::string::npos; at = lower.find(',', at + 1)) {
    if (!NamingTypeAt(lower, at + 1)) continue;
    std::size_t backslashes = 0;
    while (backslashes < at && lower[at - 1 - backslashes] == '\\') ++backslashes;
    if (backslashes % 2 == 1) return true;
  }
  return false;
}

// NormalizeDN reads a backslash before any other character as a backslash of the name (Windows
// paths in names), where RFC 4514 reads an escape; such DNs have two meanings, so only their
// idempotence is checked.
bool HasBackslashBeforeOrdinary(const std::string& dn) {
  const std::string specials = "\\/#,+;<=>\"";
  for (std::size_t i = 0; i < dn.size(); ++i) {
    if (dn[i] != '\\') continue;
    if (i + 1 == dn.size() || specials.find(dn[i + 1]) == std::string::npos) return true;
    ++i;
  }
  return false;
}

// NormalizeDN knows only the naming types the product writes; any other type is text of a name.
bool HasOnlyNamingTypes(const std::vector<tessary::ds::Rdn>& rdns) {
  for (const tessary::ds::Rdn& rdn : rdns) {
    const std::string type = tessary::ds::AsciiLower(rdn.type);
    if (type != "cn" && type != "ou" && type != "dc") return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  std::vector<tessary::ds::Rdn> rdns;
  const bool parsed = tessary::ds::ParseDn(text, &rdns);
  if (parsed) {
    const std::string formatted = tessary::ds::FormatDn(rdns);
    std::vector<tessary::ds::Rdn> again;
    if (!tessary::ds::ParseDn(formatted, &again) || again != rdns) std::abort();
    if (tessary::ds::DnKey(formatted) != tessary::ds::DnKey(text)) std::abort();
  } else if (!tessary::ds::DnKey(text).empty()) {
    std::abort();  // a DN that does not parse has no key
  }

  std::string once = text;
  tessary::NormalizeDN(once);
  std::string twice = once;
  tessary::NormalizeDN(twice);
  if (twice != once) std::abort();
  if (parsed && HasOnlyNamingTypes(rdns) && !HasEscapedCommaBeforeType(text) &&
      !HasBackslashBeforeOrdinary(text) && tessary::ds::DnKey(once) != tessary::ds::DnKey(text))
    std::abort();
  return 0;
}
