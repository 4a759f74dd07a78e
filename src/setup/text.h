#pragma once
// The small text rules setup's files share: upper-case comparison, endings and replacement.

#include <string>

namespace tessary::setup {

// The text with its ASCII letters in upper case.
std::string Upper(std::string text);
bool EndsWith(const std::string& text, const std::string& end);
// True when the folder's name ends with the maker's name in any case ("BRENVIK").
bool EndsWithMakerName(const std::string& folder);
// Replaces every occurrence of from, left to right; replaced text is not searched again.
void ReplaceAll(std::string* text, const std::string& from, const std::string& to);

}  // namespace tessary::setup
