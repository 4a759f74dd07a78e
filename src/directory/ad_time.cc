#include "directory/ad_time.h"

#include <array>
#include <cerrno>

namespace tessary {
namespace {

// 100-nanosecond intervals between 1601-01-01 and 1970-01-01.
constexpr std::int64_t kFileTimeUnixEpoch = 116444736000000000LL;
constexpr std::int64_t kFileTimeTicksPerSecond = 10000000LL;

CBVKADTime FromTm(const std::tm& tm) {
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace

bool IsLargeIntegerTimeAttribute(const std::string& attribute) {
  static constexpr std::array<const char*, 6> kNames = {
      "accountExpires", "badPasswordTime", "lastLogon", "lastLogoff", "lockoutTime", "pwdLastSet"};
  for (const char* name : kNames) {
    if (attribute == name) return true;
  }
  return false;
}

std::optional<CBVKADValue> LargeIntegerTimeValue(std::int64_t large_integer) {
  const auto bits = static_cast<std::uint64_t>(large_integer);
  if ((bits & 0xFFFFFFFFull) == 0xFFFFFFFFull) return CBVKADValue(std::int32_t{-1});
  if (bits == 0) return CBVKADValue(std::int32_t{0});
  // Floor division, so times before 1970 land on the right second.
  std::int64_t offset = large_integer - kFileTimeUnixEpoch;
  std::int64_t seconds = offset / kFileTimeTicksPerSecond;
  if (offset % kFileTimeTicksPerSecond < 0) --seconds;
  std::time_t when = static_cast<std::time_t>(seconds);
  std::tm local{};
  if (localtime_r(&when, &local) == nullptr) return std::nullopt;
  return CBVKADValue(FromTm(local));
}

std::optional<std::int64_t> LocalTimeToFileTime(std::tm local) {
  local.tm_isdst = -1;
  errno = 0;
  const std::time_t when = mktime(&local);
  if (when == static_cast<std::time_t>(-1) && errno != 0) return std::nullopt;
  return static_cast<std::int64_t>(when) * kFileTimeTicksPerSecond + kFileTimeUnixEpoch;
}

std::optional<CBVKADTime> UtcToLocalStandardTime(std::time_t utc) {
  tzset();
  // glibc's `timezone` is the standard-time offset west of UTC (the bias), whatever the date.
  std::time_t shifted = utc - timezone;
  std::tm broken{};
  if (gmtime_r(&shifted, &broken) == nullptr) return std::nullopt;
  return FromTm(broken);
}

}  // namespace tessary
