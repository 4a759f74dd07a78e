// What a Large Integer column's text means: a decimal number, or for the six time attributes
// also the text an export writes for them (-1, 0, or the local date and time in the regional
// formats of the run), so that an exported file imports back without changing anything.
#include <cctype>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "directory/ad_time.h"
#include "directory/ds/integer_text.h"
#include "import/import_engine.h"

namespace tessary {
namespace {

// The text an export writes for a stored time value.
std::string ExportedText(std::int64_t stored, const DateTimeFormats& formats) {
  const std::optional<CBVKADValue> value = LargeIntegerTimeValue(stored);
  std::string text, reason;
  if (!value || !value->GetText(&text, &reason, &formats)) return {};
  return text;
}

}  // namespace

bool CImportEngine::ReadLargeInteger(ds::Object& object, const std::string& name,
                                     const std::string& value,
                                     std::optional<std::int64_t>* number) {
  const std::string_view text = WithoutBlanks(value);
  std::int64_t parsed = 0;
  if (!IsLargeIntegerTimeAttribute(name)) {
    if (!ds::ParseInteger(text, &parsed)) return false;
    *number = parsed;
    return true;
  }
  const DateTimeFormats formats = run_formats_ ? *run_formats_ : DateTimeFormats::FromRegistry();
  // The exported text of the value the object holds now stands for exactly that value: a time
  // shown to the second must not lose the stored fraction, nor "never" change its bits.
  const std::optional<std::int64_t> stored = domain_->StoredLargeInteger(object, name);
  if (stored && !text.empty() && ExportedText(*stored, formats) == text) {
    number->reset();
    return true;
  }
  if (ds::ParseInteger(text, &parsed)) {
    // An export shows accountExpires' "never" as -1; the directory's own "never" is the
    // largest number, not -1.
    if (name == "accountExpires" && parsed == -1) parsed = std::numeric_limits<std::int64_t>::max();
    *number = parsed;
    return true;
  }
  std::tm local{};
  if (!formats.ParseDateTime(std::string(text), &local)) return false;
  const std::optional<std::int64_t> file_time = LocalTimeToFileTime(local);
  if (!file_time) return false;
  *number = *file_time;
  return true;
}

}  // namespace tessary
