#pragma once
// The Windows regional values of "Control Panel\International" derived from a POSIX locale's
// LC_TIME, as a new Windows profile would have them for the same language.

#include <string>

namespace tessary::platform {

struct RegionalSettings {
  std::string short_date;      // sShortDate, e.g. "MM/dd/yy"
  std::string date_separator;  // sDate
  std::string time_format;     // sTimeFormat, always with seconds
  std::string time_separator;  // sTime
  std::string am_symbol;       // s1159
  std::string pm_symbol;       // s2359
  int date_order = 0;          // iDate: 0 month-day-year, 1 day-month-year, 2 year-month-day
  int twenty_four_hour = 0;    // iTime
  int hour_leading_zero = 0;   // iTLZero
};

// Translates an strftime format ("%m/%d/%Y", "%r") into a Windows picture ("MM/dd/yyyy",
// "hh:mm:ss tt"); conversions without a picture letter are dropped.
std::string PictureFromStrftime(const std::string& format);

// From the given LC_TIME formats and AM/PM strings.
RegionalSettings RegionalSettingsFrom(const std::string& date_format,
                                      const std::string& time_format, const std::string& am,
                                      const std::string& pm);
// From the process environment's LC_TIME (LC_ALL, LC_TIME, LANG); the C locale when that
// locale is not installed.
RegionalSettings RegionalSettingsFromEnvironment();

}  // namespace tessary::platform
