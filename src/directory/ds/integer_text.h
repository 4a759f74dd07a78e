#pragma once
// Decimal integers as the directory writes them (Integer and Large Integer syntaxes, filter
// assertions, schema files) and as users type them: one reading for every backend and caller, so
// that no two places disagree on what "12abc", "+5" or a 64-bit value mean.

#include <cstdint>
#include <string_view>

namespace tessary::ds {

// A whole decimal number: an optional sign, then only digits. Fails for an empty text, any other
// character (blanks included) and a number outside the 64-bit range.
[[nodiscard]] bool ParseInteger(std::string_view text, std::int64_t* number);
// A value of the 32-bit Integer syntax, which AD takes written signed or unsigned
// (userAccountControl 4294967295 is -1): a whole number from -2147483648 to 4294967295, given
// back as the 32-bit signed value it stores.
[[nodiscard]] bool ParseInteger32(std::string_view text, std::int32_t* number);

}  // namespace tessary::ds
