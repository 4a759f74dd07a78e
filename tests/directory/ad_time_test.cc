#include "directory/ad_time.h"

#include <gtest/gtest.h>

#include "scoped_time_zone.h"

namespace tessary {
namespace {

using testing::kCentralEurope;
using testing::kUsEastern;
using testing::ScopedTimeZone;

// 2005-06-15 12:30:45 UTC as a file time.
constexpr std::int64_t kSummerFileTime = (1118838645LL * 10000000LL) + 116444736000000000LL;

TEST(LargeIntegerTimeTest, OnlyTheSixTimeAttributesGetValues) {
  for (const char* name : {"accountExpires", "badPasswordTime", "lastLogon", "lastLogoff",
                           "lockoutTime", "pwdLastSet"}) {
    EXPECT_TRUE(IsLargeIntegerTimeAttribute(name)) << name;
  }
  EXPECT_FALSE(IsLargeIntegerTimeAttribute("uSNChanged"));
  EXPECT_FALSE(IsLargeIntegerTimeAttribute("AccountExpires"));
}

TEST(LargeIntegerTimeTest, NeverIsMinusOne) {
  auto value = LargeIntegerTimeValue(0x7FFFFFFFFFFFFFFFLL);
  ASSERT_TRUE(value);
  EXPECT_EQ(*value, CBVKADValue(std::int32_t{-1}));
  // Only the low half decides.
  EXPECT_EQ(*LargeIntegerTimeValue(0x00000001FFFFFFFFLL), CBVKADValue(std::int32_t{-1}));
}

TEST(LargeIntegerTimeTest, ZeroIsTheIntegerZero) {
  EXPECT_EQ(*LargeIntegerTimeValue(0), CBVKADValue(std::int32_t{0}));
}

TEST(LargeIntegerTimeTest, FileTimeIsLocalTimeWithDaylightSaving) {
  ScopedTimeZone zone(kCentralEurope);
  auto value = LargeIntegerTimeValue(kSummerFileTime);
  ASSERT_TRUE(value);
  ASSERT_NE(value->AsTime(), nullptr);
  EXPECT_EQ(*value->AsTime(), (CBVKADTime{2005, 6, 15, 14, 30, 45}));
}

TEST(LargeIntegerTimeTest, FileTimeInUtcZone) {
  ScopedTimeZone zone("UTC");
  EXPECT_EQ(*LargeIntegerTimeValue(kSummerFileTime)->AsTime(),
            (CBVKADTime{2005, 6, 15, 12, 30, 45}));
}

TEST(UtcTimeTest, ShiftedByStandardBiasOnly) {
  ScopedTimeZone zone(kCentralEurope);
  // Summer: daylight saving is not applied, only the standard hour.
  auto summer = UtcToLocalStandardTime(1118838645);
  ASSERT_TRUE(summer);
  EXPECT_EQ(*summer, (CBVKADTime{2005, 6, 15, 13, 30, 45}));
}

TEST(UtcTimeTest, WestOfUtc) {
  ScopedTimeZone zone(kUsEastern);
  EXPECT_EQ(*UtcToLocalStandardTime(1118838645), (CBVKADTime{2005, 6, 15, 7, 30, 45}));
}

}  // namespace
}  // namespace tessary
