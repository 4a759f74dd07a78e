#include "platform/regional_settings.h"

#include <langinfo.h>
#include <locale.h>

#include <cctype>
#include <cstring>

namespace tessary::platform {
namespace {

bool IsAsciiLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

// The picture for one conversion letter; no_padding asks for the single-letter form.
std::string PictureFor(char conversion, bool no_padding) {
  auto numeric = [no_padding](const char* padded) {
    return no_padding ? std::string(1, padded[0]) : std::string(padded);
  };
  switch (conversion) {
    case 'a':
      return "ddd";
    case 'A':
      return "dddd";
    case 'b':
    case 'h':
      return "MMM";
    case 'B':
      return "MMMM";
    case 'd':
      return numeric("dd");
    case 'e':
      return "d";
    case 'm':
      return numeric("MM");
    case 'y':
      return numeric("yy");
    case 'Y':
      return "yyyy";
    case 'H':
      return numeric("HH");
    case 'k':
      return "H";
    case 'I':
      return numeric("hh");
    case 'l':
      return "h";
    case 'M':
      return numeric("mm");
    case 'S':
      return numeric("ss");
    case 'p':
    case 'P':
      return "tt";
    case 'D':
      return "MM/dd/yy";
    case 'F':
      return "yyyy-MM-dd";
    case 'T':
      return "HH:mm:ss";
    case 'R':
      return "HH:mm";
    case 'r':
      return "hh:mm:ss tt";
    case 'n':
    case 't':
      return " ";
    case '%':
      return "%";
    default:
      return "";
  }
}

// The first character after the first run of any of the letters, when it is a separator.
std::string SeparatorAfter(const std::string& picture, const char* letters, const char* fallback) {
  std::size_t start = picture.find_first_of(letters);
  if (start == std::string::npos) return fallback;
  std::size_t end = picture.find_first_not_of(picture[start], start);
  if (end == std::string::npos || IsAsciiLetter(picture[end]) || picture[end] == ' ')
    return fallback;
  return std::string(1, picture[end]);
}

// Time stamps must carry seconds: a picture with minutes but no seconds gets them after the
// minutes.
std::string WithSeconds(std::string picture, const std::string& separator) {
  if (picture.find('s') != std::string::npos) return picture;
  std::size_t minutes = picture.find('m');
  if (minutes == std::string::npos) return picture;
  std::size_t end = picture.find_first_not_of('m', minutes);
  if (end == std::string::npos) end = picture.size();
  picture.insert(end, separator + "ss");
  return picture;
}

}  // namespace

std::string PictureFromStrftime(const std::string& format) {
  std::string picture;
  bool quoting = false;
  for (std::size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c != '%') {
      // Letters outside conversions are literal text, which pictures quote.
      bool letter = IsAsciiLetter(c);
      if (letter != quoting) {
        picture += '\'';
        quoting = letter;
      }
      picture += c;
      continue;
    }
    if (quoting) {
      picture += '\'';
      quoting = false;
    }
    bool no_padding = false;
    while (i + 1 < format.size() && std::strchr("-_0^#", format[i + 1])) {
      no_padding = no_padding || format[i + 1] == '-';
      ++i;
    }
    while (i + 1 < format.size() && std::isdigit(static_cast<unsigned char>(format[i + 1]))) ++i;
    if (i + 1 < format.size() && (format[i + 1] == 'E' || format[i + 1] == 'O')) ++i;
    if (i + 1 < format.size()) picture += PictureFor(format[++i], no_padding);
  }
  if (quoting) picture += '\'';
  return picture;
}

RegionalSettings RegionalSettingsFrom(const std::string& date_format,
                                      const std::string& time_format, const std::string& am,
                                      const std::string& pm) {
  RegionalSettings settings;
  settings.short_date = PictureFromStrftime(date_format);
  settings.date_separator = SeparatorAfter(settings.short_date, "dMy", "/");
  std::string time = PictureFromStrftime(time_format);
  settings.time_separator = SeparatorAfter(time, "Hh", ":");
  settings.time_format = WithSeconds(time, settings.time_separator);
  settings.am_symbol = am;
  settings.pm_symbol = pm;
  std::size_t first = settings.short_date.find_first_of("dMy");
  if (first != std::string::npos)
    settings.date_order = settings.short_date[first] == 'M'   ? 0
                          : settings.short_date[first] == 'd' ? 1
                                                              : 2;
  settings.twenty_four_hour = time.find('H') != std::string::npos ? 1 : 0;
  std::size_t hour = time.find_first_of("Hh");
  settings.hour_leading_zero =
      hour != std::string::npos && hour + 1 < time.size() && time[hour + 1] == time[hour] ? 1 : 0;
  return settings;
}

RegionalSettings RegionalSettingsFromEnvironment() {
  locale_t locale = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
  if (!locale) locale = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
  RegionalSettings settings =
      RegionalSettingsFrom(nl_langinfo_l(D_FMT, locale), nl_langinfo_l(T_FMT, locale),
                           nl_langinfo_l(AM_STR, locale), nl_langinfo_l(PM_STR, locale));
  freelocale(locale);
  return settings;
}

}  // namespace tessary::platform
