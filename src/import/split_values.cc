#include "import/split_values.h"

#include <cstring>

namespace tessary {
namespace {

constexpr char kQuote = '"';

// Drops one leading, then one trailing double quote.
std::string_view Unquote(std::string_view value) {
  if (!value.empty() && value.front() == kQuote) value.remove_prefix(1);
  if (!value.empty() && value.back() == kQuote) value.remove_suffix(1);
  return value;
}

std::size_t Find(std::string_view text, std::string_view separator, std::size_t from) {
  if (separator.size() == 1) {
    if (from >= text.size()) return std::string_view::npos;
    const void* hit = std::memchr(text.data() + from, separator.front(), text.size() - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data())
               : std::string_view::npos;
  }
  return text.find(separator, from);
}

}  // namespace

void SplitValues(std::string_view line, std::string_view separator,
                 std::vector<std::string>& list) {
  if (line.empty()) return;
  if (separator.empty()) {
    list.emplace_back(line);
    return;
  }
  const bool quotes_group = separator == kLineSeparator;
  while (true) {
    const std::size_t found = Find(line, separator, 0);
    if (found == std::string_view::npos) break;
    std::size_t end = found;
    if (quotes_group && line.front() == kQuote) {
      const std::size_t closing = line.find(kQuote, 1);
      if (closing == std::string_view::npos) break;
      end = closing + 1;
      if (Find(line, separator, end) == std::string_view::npos) {
        // A quoted last value that holds a separator: the rest of the line, quotes removed.
        list.emplace_back(Unquote(line));
        return;
      }
      // Whatever follows the closing quote is skipped as if it were the separator.
    }
    std::string_view value = line.substr(0, end);
    list.emplace_back(quotes_group ? Unquote(value) : value);
    line.remove_prefix(end + separator.size());
  }
  list.emplace_back(line);
}

std::string JoinValues(const std::vector<std::string>& list) {
  std::string line;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (i != 0) line += kLineSeparator;
    const std::string& value = list[i];
    if (value.find(',') != std::string::npos) {
      line += kQuote;
      line += value;
      line += kQuote;
    } else {
      line += value;
    }
  }
  return line;
}

std::string FileValueText(std::string_view value) {
  std::string quoted;
  if (value.find(',') != std::string_view::npos) {
    quoted.reserve(value.size() + 2);
    quoted += kQuote;
    quoted += value;
    quoted += kQuote;
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
