#pragma once
// The records of a comma-delimited text with spreadsheet quoting: a field that begins with a
// double quote runs to its closing quote ("" inside it is one quote) and may hold commas and
// line breaks, so one record can span several lines of the file.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tessary {

// The position of the quote that closes the quoted field opened at text[open], or npos when the
// text holds none (every quote after the opening one is half of a "" pair).
std::size_t QuotedFieldEnd(std::string_view text, std::size_t open);

// Appends the records of text, each without its line end (LF, or CR LF). A line break inside a
// quoted field stays in its record; a quoted field that is never closed is taken as plain text,
// so its record ends with its line. Empty lines are records; a last record needs no line end.
void SplitRecords(std::string_view text, std::vector<std::string>* records);

}  // namespace tessary
