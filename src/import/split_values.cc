#include "import/split_values.h"

#include <cstring>

#include "import/csv_records.h"

namespace tessary {
namespace {

constexpr char kQuote = '"';

std::size_t Find(std::string_view text, std::string_view separator, std::size_t from) {
  if (separator.size() == 1) {
    if (from >= text.size()) return std::string_view::npos;
    const void* hit = std::memchr(text.data() + from, separator.front(), text.size() - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data())
               : std::string_view::npos;
  }
  return text.find(separator, from);
}

// The inside of a quoted field: "" is one quote, and a line break is CR LF as the "\r\n"
// escape gives it, whether the file ended its lines with LF or with CR LF.
void AppendUnquoted(std::string_view inside, std::string* value) {
  value->reserve(value->size() + inside.size());
  for (std::size_t i = 0; i < inside.size(); ++i) {
    const char c = inside[i];
    if (c == kQuote && i + 1 < inside.size() && inside[i + 1] == kQuote) {
      ++i;
    } else if (c == '\n' && (i == 0 || inside[i - 1] != '\r')) {
      *value += '\r';
    }
    *value += c;
  }
}

// The fields of one record of the "," form: a field that begins with a quote runs to its closing
// quote, and whatever follows that quote up to the next comma is kept as written.
void SplitQuotedLine(std::string_view line, std::vector<std::string>& list) {
  std::size_t at = 0;
  while (true) {
    if (at < line.size() && line[at] == kQuote) {
      const std::size_t close = QuotedFieldEnd(line, at);
      if (close == std::string_view::npos) {
        // A quote that is never closed is no quoting: the rest of the line is one value.
        list.emplace_back(line.substr(at));
        return;
      }
      const std::size_t comma = Find(line, kLineSeparator, close + 1);
      const std::string_view inside = line.substr(at + 1, close - at - 1);
      const std::string_view after =
          line.substr(close + 1, comma == std::string_view::npos ? comma : comma - close - 1);
      if (after.empty() && inside.find_first_of("\"\n") == std::string_view::npos) {
        list.emplace_back(inside);
      } else {
        std::string value;
        AppendUnquoted(inside, &value);
        value += after;
        list.push_back(std::move(value));
      }
      if (comma == std::string_view::npos) return;
      at = comma + 1;
    } else {
      const std::size_t comma = Find(line, kLineSeparator, at);
      list.emplace_back(line.substr(at, comma == std::string_view::npos ? comma : comma - at));
      if (comma == std::string_view::npos) return;
      at = comma + 1;
    }
  }
}

}  // namespace

void SplitValues(std::string_view line, std::string_view separator,
                 std::vector<std::string>& list) {
  if (line.empty()) return;
  if (separator.empty()) {
    list.emplace_back(line);
    return;
  }
  if (separator == kLineSeparator) {
    SplitQuotedLine(line, list);
    return;
  }
  while (true) {
    const std::size_t found = Find(line, separator, 0);
    if (found == std::string_view::npos) break;
    list.emplace_back(line.substr(0, found));
    line.remove_prefix(found + separator.size());
  }
  list.emplace_back(line);
}

namespace {

// A value as a spreadsheet quotes it: in double quotes, each quote inside doubled.
void AppendQuoted(std::string_view value, std::string* text) {
  text->reserve(text->size() + value.size() + 2);
  *text += kQuote;
  for (char c : value) {
    if (c == kQuote) *text += kQuote;
    *text += c;
  }
  *text += kQuote;
}

}  // namespace

std::string JoinValues(const std::vector<std::string>& list) {
  std::string line;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (i != 0) line += kLineSeparator;
    const std::string& value = list[i];
    // A quote or a line break must be quoted too, or the line would not read back as written.
    if (value.find_first_of(",\"\r\n") != std::string::npos) {
      AppendQuoted(value, &line);
    } else {
      line += value;
    }
  }
  return line;
}

std::string FileValueText(std::string_view value) {
  std::string quoted;
  if (value.find_first_of(",\"") != std::string_view::npos) {
    AppendQuoted(value, &quoted);
  } else {
    quoted = value;
  }
  std::string text;
  text.reserve(quoted.size());
  for (std::size_t i = 0; i < quoted.size(); ++i) {
    if (quoted[i] == '\r' && i + 1 < quoted.size() && quoted[i + 1] == '\n') {
      text += "\\r\\n";
      ++i;
    } else {
      text += quoted[i];
    }
  }
  return text;
}

}  // namespace tessary
