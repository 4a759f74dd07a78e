// libFuzzer target for distinguished names: a DN that parses must format into one that parses to
// the same names under the same key, and NormalizeDN must be idempotent.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "directory/dn.h"
#include "directory/ds/dn.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  std::vector<tessary::ds::Rdn> rdns;
  if (tessary::ds::ParseDn(text, &rdns)) {
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
  return 0;
}
