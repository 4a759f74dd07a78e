#include "directory/ds/directory_time.h"

#include <charconv>
#include <chrono>
#include <cstdio>

namespace tessary::ds {
namespace {

bool TwoDigits(std::string_view text, std::size_t at, int* out) {
  if (at + 2 > text.size()) return false;
  auto [next, ec] = std::from_chars(text.data() + at, text.data() + at + 2, *out);
  return ec == std::errc() && next == text.data() + at + 2;
}

}  // namespace

bool ParseGeneralizedTime(std::string_view text, UtcTime* time) {
  std::size_t digits = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
  int century = 0, year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  std::size_t at = 0;
  if (digits == 14) {
    if (!TwoDigits(text, 0, &century)) return false;
    at = 2;
  } else if (digits != 12) {
    return false;
  }
  if (!TwoDigits(text, at, &year) || !TwoDigits(text, at + 2, &month) ||
      !TwoDigits(text, at + 4, &day) || !TwoDigits(text, at + 6, &hour) ||
      !TwoDigits(text, at + 8, &minute) || !TwoDigits(text, at + 10, &second)) {
    return false;
  }
  year += digits == 14 ? century * 100 : (year < 50 ? 2000 : 1900);
  std::string_view zone = text.substr(digits);
  if (digits == 14 && (zone.starts_with('.') || zone.starts_with(','))) {
    std::size_t fraction = 1;
    while (fraction < zone.size() && zone[fraction] >= '0' && zone[fraction] <= '9') ++fraction;
    if (fraction == 1) return false;
    zone.remove_prefix(fraction);
  }
  if (zone != "Z") return false;
  std::chrono::year_month_day date{std::chrono::year(year),
                                   std::chrono::month(static_cast<unsigned>(month)),
                                   std::chrono::day(static_cast<unsigned>(day))};
  if (!date.ok() || hour > 23 || minute > 59 || second > 59) return false;
  *time = std::chrono::sys_days(date) + std::chrono::hours(hour) + std::chrono::minutes(minute) +
          std::chrono::seconds(second);
  return true;
}

namespace {

std::string Format(UtcTime time, bool two_digit_year) {
  auto days = std::chrono::floor<std::chrono::days>(time);
  std::chrono::year_month_day date(days);
  std::chrono::hh_mm_ss clock(time - days);
  const int year = static_cast<int>(date.year());
  char text[48];
  std::snprintf(text, sizeof text,
                two_digit_year ? "%02d%02u%02u%02ld%02ld%02ldZ" : "%04d%02u%02u%02ld%02ld%02ld.0Z",
                two_digit_year ? year % 100 : year, static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()), static_cast<long>(clock.hours().count()),
                static_cast<long>(clock.minutes().count()),
                static_cast<long>(clock.seconds().count()));
  return text;
}

}  // namespace

std::string GeneralizedTime(UtcTime time) { return Format(time, false); }
std::string UtcTimeText(UtcTime time) { return Format(time, true); }

}  // namespace tessary::ds
