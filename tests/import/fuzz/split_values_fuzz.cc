// libFuzzer target for the comma-delimited line format. Any line must split without harm; any
// values must join into a line that splits back into the same values (a line break read from a
// quoted field is CR LF); and a "%" split must lose no character of the field.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "import/split_values.h"

namespace {

// The input cut at every 0x01 byte: a list of values chosen by the fuzzer.
std::vector<std::string> ValuesOf(std::string_view text) {
  std::vector<std::string> values;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '\x01') {
      values.emplace_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return values;
}

// The value as a quoted field gives it back: every LF without a CR before it becomes CR LF.
std::string AsRead(const std::string& value) {
  std::string read;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\n' && (i == 0 || value[i - 1] != '\r')) read += '\r';
    read += value[i];
  }
  return read;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  // A line as read from a file: any text that is not empty holds at least one value.
  std::vector<std::string> split;
  tessary::SplitValues(text, tessary::kLineSeparator, split);
  if (!text.empty() && split.empty()) std::abort();

  // "%" never groups by quotes, so its values joined with "%" are the field itself.
  std::vector<std::string> parts;
  tessary::SplitValues(text, tessary::kMultiValueSeparator, parts);
  std::string rejoined;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i != 0) rejoined += tessary::kMultiValueSeparator;
    rejoined += parts[i];
  }
  if (rejoined != text) std::abort();

  // Values as a program would write them.
  const std::vector<std::string> values = ValuesOf(text);
  if (values.size() == 1 && values.front().empty()) return 0;  // an empty line holds no value
  std::vector<std::string> back;
  tessary::SplitValues(tessary::JoinValues(values), tessary::kLineSeparator, back);
  if (back.size() != values.size()) std::abort();
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (back[i] != AsRead(values[i])) std::abort();
  }
  return 0;
}
