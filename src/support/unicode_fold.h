#pragma once
// Case-insensitive comparison of directory text the way Active Directory compares it: every
// character of Unicode, not only ASCII, is mapped to its simple case fold (one character to one
// character), so "Ärger" and "ärger" compare equal and a folded key keeps the length of its
// characters. ICU supplies the fold data, so it stays current with the Unicode version ICU ships.

#include <string>
#include <string_view>

namespace tessary {

// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view text);

// `text` with each character replaced by its simple case fold, as UTF-8. Bytes that are not
// well-formed UTF-8 are copied unchanged, so two different invalid texts never fold together.
std::string FoldCase(std::string_view text);

// FoldCase(a) == FoldCase(b), without building the two folded strings.
bool EqualsFolded(std::string_view a, std::string_view b);

}  // namespace tessary
