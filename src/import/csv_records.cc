#include "import/csv_records.h"

namespace tessary {
namespace {

constexpr char kQuote = '"';
constexpr char kComma = ',';
constexpr char kLineFeed = '\n';

void AddRecord(std::string_view text, std::size_t start, std::size_t end,
               std::vector<std::string>* records) {
  std::string_view record = text.substr(start, end - start);
  if (record.ends_with('\r')) record.remove_suffix(1);
  records->emplace_back(record);
}

}  // namespace

std::size_t QuotedFieldEnd(std::string_view text, std::size_t open) {
  for (std::size_t at = open + 1;; at += 2) {
    at = text.find(kQuote, at);
    if (at == std::string_view::npos) return at;
    if (at + 1 >= text.size() || text[at + 1] != kQuote) return at;
  }
}

void SplitRecords(std::string_view text, std::vector<std::string>* records) {
  std::size_t start = 0;
  std::size_t at = 0;  // always at the start of a field
  while (at < text.size()) {
    if (text[at] == kQuote) {
      const std::size_t close = QuotedFieldEnd(text, at);
      if (close != std::string_view::npos) {
        at = close + 1;
      } else {
        // Never closed: the field is plain text to the end of its line.
        const std::size_t end = text.find(kLineFeed, at);
        if (end == std::string_view::npos) break;
        AddRecord(text, start, end, records);
        start = at = end + 1;
        continue;
      }
    }
    const std::size_t end = text.find_first_of(",\n", at);
    if (end == std::string_view::npos) break;
    if (text[end] == kComma) {
      at = end + 1;
      continue;
    }
    AddRecord(text, start, end, records);
    start = at = end + 1;
  }
  // A last record without a line end, also one that ends in a separator.
  if (start < text.size()) records->emplace_back(text.substr(start));
}

}  // namespace tessary
