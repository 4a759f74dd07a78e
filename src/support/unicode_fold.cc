#include "support/unicode_fold.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <cstdint>

namespace tessary {
namespace {

// One step through `text`: the folded character at `pos` (or -1 for a byte that does not start
// well-formed UTF-8, which then stands for itself) and the position after it.
struct Step {
  UChar32 folded;
  int32_t next;
};

Step NextFolded(std::string_view text, int32_t pos) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  const auto length = static_cast<int32_t>(text.size());
  UChar32 c = 0;
  int32_t next = pos;
  U8_NEXT(bytes, next, length, c);
  if (c < 0) return {-1, pos + 1};
  if (c < 0x80) return {c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c, next};
  return {u_foldCase(c, U_FOLD_CASE_DEFAULT), next};
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  const auto length = static_cast<int32_t>(text.size());
  for (int32_t pos = 0; pos < length;) {
    UChar32 c = 0;
    U8_NEXT(bytes, pos, length, c);
    if (c < 0) return false;
  }
  return true;
}

std::string FoldCase(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  const auto length = static_cast<int32_t>(text.size());
  for (int32_t pos = 0; pos < length;) {
    const Step step = NextFolded(text, pos);
    if (step.folded < 0) {
      out.push_back(text[pos]);
    } else {
      char encoded[U8_MAX_LENGTH];
      int32_t size = 0;
      U8_APPEND_UNSAFE(encoded, size, step.folded);
      out.append(encoded, static_cast<size_t>(size));
    }
    pos = step.next;
  }
  return out;
}

bool EqualsFolded(std::string_view a, std::string_view b) {
  const auto a_length = static_cast<int32_t>(a.size());
  const auto b_length = static_cast<int32_t>(b.size());
  int32_t i = 0;
  int32_t j = 0;
  while (i < a_length && j < b_length) {
    const Step x = NextFolded(a, i);
    const Step y = NextFolded(b, j);
    if (x.folded != y.folded) return false;
    if (x.folded < 0 && a[i] != b[j]) return false;
    i = x.next;
    j = y.next;
  }
  return i == a_length && j == b_length;
}

}  // namespace tessary
