#include "support/date_time_text.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "support/bvk_registry.h"

namespace tessary {
namespace {

constexpr char kInternationalKey[] = "Control Panel\\International";
constexpr char kAmPmMarker[] = "$AMPM$";
constexpr char kApMarker[] = "$AP$";

class SystemClockImpl : public Clock {
 public:
  std::time_t Now() const override { return std::time(nullptr); }
};

// Literal text must not be read as a conversion by strftime.
std::string EscapePercent(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '%') escaped += '%';
    escaped += c;
  }
  return escaped;
}

// Splits a picture from the left: the separator is a token of its own, a quoted run is a
// literal token (marked by its leading quote), anything else is the longest run of one
// character.
std::vector<std::string> Tokens(const std::string& picture, const std::string& separator) {
  std::vector<std::string> tokens;
  std::size_t pos = 0;
  while (pos < picture.size()) {
    std::size_t end;
    if (!separator.empty() && picture.compare(pos, separator.size(), separator) == 0) {
      end = pos + separator.size();
    } else if (picture[pos] == '\'') {
      end = picture.find('\'', pos + 1);
      end = end == std::string::npos ? picture.size() : end + 1;
    } else {
      end = picture.find_first_not_of(picture[pos], pos);
      if (end == std::string::npos) end = picture.size();
    }
    tokens.push_back(picture.substr(pos, end - pos));
    pos = end;
  }
  return tokens;
}

// A token that is copied: the separator, a quoted literal (without its quotes), anything else.
std::string Literal(const std::string& token) {
  if (token.size() >= 2 && token.front() == '\'' && token.back() == '\'')
    return EscapePercent(token.substr(1, token.size() - 2));
  return EscapePercent(token);
}

// The no-leading-zero form for single-letter elements is strftime's "-" flag.
std::string Numeric(std::size_t length, char conversion) {
  return length == 1 ? std::string("%-") + conversion : std::string("%") + conversion;
}

std::string TranslateTimeToken(const std::string& token, const std::string& separator) {
  if (token == separator) return Literal(token);
  switch (token[0]) {
    case 'H':
      return Numeric(token.size(), 'H');
    case 'h':
      return Numeric(token.size(), 'I');
    case 'm':
      return Numeric(token.size(), 'M');
    case 's':
      return Numeric(token.size(), 'S');
    case 't':
      return token.size() == 1 ? kApMarker : kAmPmMarker;
    default:
      return Literal(token);
  }
}

std::string TranslateDateToken(const std::string& token, const std::string& separator) {
  if (token == separator) return Literal(token);
  static const char* const kMonth[] = {"%-m", "%m", "%b", "%B"};
  static const char* const kDay[] = {"%-d", "%d", "%a", "%A"};
  static const char* const kYear[] = {"%-y", "%y", "%Y", "%Y"};
  std::size_t form = std::min<std::size_t>(token.size(), 4) - 1;
  switch (token[0]) {
    case 'M':
    case 'm':
      return kMonth[form];
    case 'd':
    case 'D':
      return kDay[form];
    case 'y':
    case 'Y':
      return kYear[form];
    default:
      return Literal(token);
  }
}

void ReplaceAll(std::string* text, const std::string& marker, const std::string& replacement) {
  for (std::size_t pos = text->find(marker); pos != std::string::npos;
       pos = text->find(marker, pos + replacement.size()))
    text->replace(pos, marker.size(), replacement);
}

// The first character of a UTF-8 text (all of its bytes).
std::string FirstCharacter(const std::string& text) {
  if (text.empty()) return {};
  std::size_t length = 1;
  while (length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
    ++length;
  return text.substr(0, length);
}

std::string Strftime(const std::string& format, const std::tm& local) {
  if (format.empty()) return {};
  // strftime answers 0 both for "too small" and for an empty result; a bounded retry tells
  // them apart well enough.
  for (std::size_t size = 256; size <= 65536; size *= 2) {
    std::vector<char> buffer(size);
    std::size_t length = std::strftime(buffer.data(), buffer.size(), format.c_str(), &local);
    if (length > 0) return std::string(buffer.data(), length);
  }
  return {};
}

// A value that may be absent: a required read succeeds only when it is there as text.
bool ReadPresent(CBVKRegistry* registry, const std::string& name, std::string* out) {
  return registry->ReadString(name, out, {}, CBVKRegistry::Required::Yes);
}

std::string ReadOr(CBVKRegistry* registry, const std::string& name, const std::string& fallback) {
  std::string value;
  return ReadPresent(registry, name, &value) ? value : fallback;
}

std::tm LocalTime(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  return local;
}

}  // namespace

const Clock& SystemClock() {
  static const SystemClockImpl clock;
  return clock;
}

std::string DateTimeFormats::TimeFormatFromPicture(const std::string& picture,
                                                   const std::string& separator) {
  std::string format;
  for (const std::string& token : Tokens(picture, separator))
    format += TranslateTimeToken(token, separator);
  return format;
}

std::string DateTimeFormats::DateFormatFromPicture(const std::string& picture,
                                                   const std::string& separator) {
  std::string format;
  for (const std::string& token : Tokens(picture, separator))
    format += TranslateDateToken(token, separator);
  return format;
}

DateTimeFormats DateTimeFormats::FromRegistry() {
  DateTimeFormats formats;
  CBVKRegistry registry;
  if (!registry.OpenKey(HKEY_CURRENT_USER, kInternationalKey, KEY_READ, CBVKRegistry::Create::No))
    return formats;
  formats.am_symbol = ReadOr(&registry, "s1159", formats.am_symbol);
  formats.pm_symbol = ReadOr(&registry, "s2359", formats.pm_symbol);
  std::string picture;
  if (ReadPresent(&registry, "sTimeFormat", &picture))
    formats.time_format = TimeFormatFromPicture(picture, ReadOr(&registry, "sTime", ":"));
  if (ReadPresent(&registry, "sShortDate", &picture))
    formats.date_format = DateFormatFromPicture(picture, ReadOr(&registry, "sDate", "/"));
  return formats;
}

std::string DateTimeFormats::FormatTime(const std::tm& local) const {
  std::string format = time_format.empty() ? "%I:%M" : time_format;
  // Without an AM symbol the markers stay as they are, as the regional settings asked.
  if (!am_symbol.empty()) {
    const std::string& symbol = local.tm_hour > 11 ? pm_symbol : am_symbol;
    ReplaceAll(&format, kAmPmMarker, EscapePercent(symbol));
    ReplaceAll(&format, kApMarker, EscapePercent(FirstCharacter(symbol)));
  }
  return Strftime(format, local);
}

std::string DateTimeFormats::FormatDate(const std::tm& local) const {
  return Strftime(date_format, local);
}

std::string DateTimeFormats::FormatDateTime(const std::tm& local) const {
  return FormatDate(local) + " " + FormatTime(local);
}

bool DateTimeFormats::ParseDateTime(const std::string& text, std::tm* local) const {
  const std::string time = time_format.empty() ? "%I:%M" : time_format;
  const bool twelve_hour = time.find("%I") != std::string::npos ||
                           time.find("%-I") != std::string::npos;
  // Without an AM symbol the markers were written as they stand; with one, the text holds one
  // of the two symbols and that decides the half of the day.
  std::vector<std::pair<std::string, int>> candidates;
  if (am_symbol.empty()) {
    candidates.emplace_back(date_format + " " + time, 0);
  } else {
    for (const auto& [symbol, half] : {std::pair{am_symbol, 0}, std::pair{pm_symbol, 12}}) {
      std::string format = date_format + " " + time;
      ReplaceAll(&format, kAmPmMarker, EscapePercent(symbol));
      ReplaceAll(&format, kApMarker, EscapePercent(FirstCharacter(symbol)));
      candidates.emplace_back(std::move(format), half);
    }
  }
  for (auto& [format, half] : candidates) {
    // strptime reads numbers with or without their leading zero, so the no-zero flag goes.
    ReplaceAll(&format, "%-", "%");
    std::tm parsed{};
    parsed.tm_isdst = -1;
    const char* end = strptime(text.c_str(), format.c_str(), &parsed);
    if (end == nullptr || *end != '\0') continue;
    // strptime gives the hour of a 12-hour clock as 0 to 11 (12 o'clock is 0).
    if (twelve_hour) parsed.tm_hour = parsed.tm_hour % 12 + half;
    *local = parsed;
    return true;
  }
  return false;
}

std::string FormatDateTime(const std::tm& local) {
  return DateTimeFormats::FromRegistry().FormatDateTime(local);
}

std::string FormatDateTime(std::time_t when) { return FormatDateTime(LocalTime(when)); }

std::string FormatDate(std::time_t when) {
  return DateTimeFormats::FromRegistry().FormatDate(LocalTime(when));
}

std::string FormatTime(std::time_t when) {
  return DateTimeFormats::FromRegistry().FormatTime(LocalTime(when));
}

}  // namespace tessary
