#include "directory/ds/integer_text.h"

#include <charconv>
#include <limits>

namespace tessary::ds {

bool ParseInteger(std::string_view text, std::int64_t* number) {
  // from_chars takes a minus sign but no plus sign; after a plus only digits may follow.
  if (text.starts_with('+')) {
    text.remove_prefix(1);
    if (text.empty() || text.front() < '0' || text.front() > '9') return false;
  }
  std::int64_t parsed = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return false;
  *number = parsed;
  return true;
}

bool ParseInteger32(std::string_view text, std::int32_t* number) {
  std::int64_t wide = 0;
  if (!ParseInteger(text, &wide) || wide < std::numeric_limits<std::int32_t>::min() ||
      wide > std::numeric_limits<std::uint32_t>::max()) {
    return false;
  }
  *number = static_cast<std::int32_t>(static_cast<std::uint32_t>(wide));
  return true;
}

}  // namespace tessary::ds
