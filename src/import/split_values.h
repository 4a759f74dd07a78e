#pragma once
// The one comma-delimited format of every data file the program reads or writes (import, export,
// header and error files): how a line splits into values and how values join into a line.

#include <string>
#include <string_view>
#include <vector>

namespace tessary {

// Separator of the values of one line, and of the values inside one multi-valued field.
inline constexpr std::string_view kLineSeparator = ",";
inline constexpr std::string_view kMultiValueSeparator = "%";

// Appends the values of `line` to `list`. An empty line appends nothing; a trailing separator
// gives a last, empty value. Only with the "," separator do double quotes group a value, as
// spreadsheets quote: a field that begins with a quote loses it and its closing quote, "" inside
// is one quote, a line break inside is CR LF, and text after the closing quote is kept; a quote
// that is never closed, or one inside a field, is an ordinary character. Never fails; an empty
// separator appends the whole line as one value.
void SplitValues(std::string_view line, std::string_view separator, std::vector<std::string>& list);

// The values joined with ",": a value holding a comma, a double quote or a line break is put in
// double quotes with its quotes doubled; no line end.
std::string JoinValues(const std::vector<std::string>& list);

// One value as export and header files write it: quoted (quotes doubled) when it holds a comma
// or a double quote, then every CR LF written as the four characters "\r\n" so that the value
// stays on its line.
std::string FileValueText(std::string_view value);

}  // namespace tessary
