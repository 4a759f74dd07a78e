#include "directory/ad_time.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace tessary {
namespace {

// Fixes the process's time zone for one test and restores it afterwards.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    const char* old = std::getenv("TZ");
    had_ = old != nullptr;
    if (had_) saved_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    if (had_) {
      setenv("TZ", saved_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  bool had_ = false;
  std::string saved_;
};

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
  ScopedTimeZone zone("Europe/Berlin");
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
  ScopedTimeZone zone("Europe/Berlin");
  // Summer: daylight saving is not applied, only the standard hour.
  auto summer = UtcToLocalStandardTime(1118838645);
  ASSERT_TRUE(summer);
  EXPECT_EQ(*summer, (CBVKADTime{2005, 6, 15, 13, 30, 45}));
}

TEST(UtcTimeTest, WestOfUtc) {
  ScopedTimeZone zone("America/New_York");
  EXPECT_EQ(*UtcToLocalStandardTime(1118838645), (CBVKADTime{2005, 6, 15, 7, 30, 45}));
}

}  // namespace
}  // namespace tessary
