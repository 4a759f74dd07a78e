#pragma once
// The time conversions of directory values: large-integer file times (with their "never" and
// "not set" values) and UTC times, both shown in local time by the platform's time zone rules.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "directory/ad_value.h"

namespace tessary {

// True for the six large-integer attributes that hold times and so get a value when read.
bool IsLargeIntegerTimeAttribute(const std::string& attribute);

// The value of a large-integer time: the integer -1 when the low 32 bits are all ones (the
// "never" value), the integer 0 when the number is 0, else the file time (100 ns units since
// 1601, UTC) as local time. Nothing when the time cannot be represented.
std::optional<CBVKADValue> LargeIntegerTimeValue(std::int64_t large_integer);

// The file time of a local date and time given to the second (the inverse of the time above),
// by the platform's time zone rules. Nothing when the time cannot be represented.
std::optional<std::int64_t> LocalTimeToFileTime(std::tm local);

// A UTC point in time shifted by the time zone's standard bias: local standard time, with no
// daylight saving applied. Nothing when the time cannot be represented.
std::optional<CBVKADTime> UtcToLocalStandardTime(std::time_t utc);

}  // namespace tessary
