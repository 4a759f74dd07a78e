#include "support/date_time_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <tuple>

#include "support/bvk_registry.h"
#include "test_support.h"

namespace tessary {
namespace {

std::tm At(int hour, int minute, int second) {
  std::tm local{};
  local.tm_year = 2006 - 1900;
  local.tm_mon = 11;
  local.tm_mday = 5;
  local.tm_wday = 2;  // a Tuesday
  local.tm_yday = 338;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  return local;
}

class DateTimeTextTest : public testing::MachineTest {
 protected:
  // Replaces the regional settings with exactly these values.
  void SetRegional(const std::map<std::string, std::string>& values) {
    testing::WriteFileText(platform::RegistryHivePath(HKEY_CURRENT_USER), "REGEDIT4\n");
    CBVKRegistry registry;
    ASSERT_TRUE(registry.OpenKey(HKEY_CURRENT_USER, "Control Panel\\International"));
    for (const auto& [name, text] : values) ASSERT_TRUE(registry.WriteString(name, text));
  }

  static std::string Runtime(const char* format, const std::tm& local) {
    char buffer[128];
    std::size_t length = std::strftime(buffer, sizeof buffer, format, &local);
    return std::string(buffer, length);
  }
};

TEST(DateTimePictures, TranslateToRuntimeFormats) {
  EXPECT_EQ(DateTimeFormats::TimeFormatFromPicture("h:mm:ss tt", ":"), "%-I:%M:%S $AMPM$");
  EXPECT_EQ(DateTimeFormats::TimeFormatFromPicture("HH:m:s t", ":"), "%H:%-M:%-S $AP$");
  EXPECT_EQ(DateTimeFormats::TimeFormatFromPicture("H.mm", "."), "%-H.%M");
  EXPECT_EQ(DateTimeFormats::DateFormatFromPicture("M/d/yyyy", "/"), "%-m/%-d/%Y");
  EXPECT_EQ(DateTimeFormats::DateFormatFromPicture("dd.MM.yy", "."), "%d.%m.%y");
  EXPECT_EQ(DateTimeFormats::DateFormatFromPicture("ddd, MMMM d, yyy", "/"), "%a, %B %-d, %Y");
  EXPECT_EQ(DateTimeFormats::DateFormatFromPicture("DDDD mmm Y", "-"), "%A %b %-y");
}

TEST(DateTimePictures, LiteralTextCannotInjectConversions) {
  EXPECT_EQ(DateTimeFormats::TimeFormatFromPicture("HH%n", ":"), "%H%%n");
  EXPECT_EQ(DateTimeFormats::TimeFormatFromPicture("HH 'h' mm", ":"), "%H h %M");
}

TEST_F(DateTimeTextTest, TwelveHourPictureWithSeconds) {
  SetRegional({{"sShortDate", "M/d/yyyy"}, {"sTimeFormat", "h:mm:ss tt"}});
  EXPECT_EQ(FormatDateTime(At(10, 30, 0)), "12/5/2006 10:30:00 AM");
}

TEST_F(DateTimeTextTest, NoonIsPmAndMidnightIsTwelveAm) {
  SetRegional({{"sShortDate", "M/d/yyyy"}, {"sTimeFormat", "h:mm:ss tt"}});
  EXPECT_EQ(FormatDateTime(At(12, 0, 0)), "12/5/2006 12:00:00 PM");
  EXPECT_EQ(FormatDateTime(At(0, 0, 0)), "12/5/2006 12:00:00 AM");
  EXPECT_EQ(FormatDateTime(At(11, 59, 59)), "12/5/2006 11:59:59 AM");
  EXPECT_EQ(FormatDateTime(At(23, 5, 9)), "12/5/2006 11:05:09 PM");
}

TEST_F(DateTimeTextTest, TwentyFourHourPicturesShowNoMarker) {
  SetRegional({{"sShortDate", "dd.MM.yyyy"},
               {"sDate", "."},
               {"sTimeFormat", "HH:mm:ss"},
               {"s1159", "AM"},
               {"s2359", "PM"}});
  EXPECT_EQ(FormatDateTime(At(15, 4, 5)), "05.12.2006 15:04:05");
  EXPECT_EQ(FormatDateTime(At(0, 0, 0)), "05.12.2006 00:00:00");
}

TEST_F(DateTimeTextTest, SingleLetterElementsDropTheLeadingZero) {
  SetRegional({{"sShortDate", "d/M/yy"}, {"sTimeFormat", "H:m:s"}});
  EXPECT_EQ(FormatDateTime(At(7, 5, 3)), "5/12/06 7:5:3");
}

TEST_F(DateTimeTextTest, TheSymbolsAndTheirFirstLetterComeFromTheSettings) {
  SetRegional(
      {{"sTimeFormat", "hh.mm t"}, {"sTime", "."}, {"s1159", "vorm."}, {"s2359", "nachm."}});
  EXPECT_EQ(FormatTime(0), FormatTime(0));  // settings are read on every call
  DateTimeFormats formats = DateTimeFormats::FromRegistry();
  EXPECT_EQ(formats.FormatTime(At(9, 7, 0)), "09.07 v");
  EXPECT_EQ(formats.FormatTime(At(21, 7, 0)), "09.07 n");
}

TEST_F(DateTimeTextTest, WithoutAnAmSymbolTheMarkersStay) {
  SetRegional({{"sTimeFormat", "h:mm tt"}, {"s1159", ""}, {"s2359", ""}});
  EXPECT_EQ(DateTimeFormats::FromRegistry().FormatTime(At(10, 30, 0)), "10:30 $AMPM$");
}

TEST_F(DateTimeTextTest, WithoutRegionalValuesTheDefaultsApply) {
  testing::WriteFileText(platform::RegistryHivePath(HKEY_CURRENT_USER), "REGEDIT4\n");
  std::tm local = At(14, 30, 0);
  EXPECT_EQ(FormatDateTime(local), Runtime("%x", local) + " 02:30 --");
  SetRegional({});
  EXPECT_EQ(FormatDateTime(local), Runtime("%x", local) + " 02:30 --");
}

TEST_F(DateTimeTextTest, AnEmptyTimePictureFallsBackToHoursAndMinutes) {
  SetRegional({{"sTimeFormat", ""}});
  EXPECT_EQ(DateTimeFormats::FromRegistry().FormatTime(At(14, 30, 0)), "02:30");
}

TEST_F(DateTimeTextTest, AChangeOfTheSettingsTakesEffectAtTheNextCall) {
  SetRegional({{"sShortDate", "M/d/yyyy"}, {"sTimeFormat", "h:mm:ss tt"}});
  EXPECT_EQ(FormatDateTime(At(10, 30, 0)), "12/5/2006 10:30:00 AM");
  CBVKRegistry registry;
  ASSERT_TRUE(registry.OpenKey(HKEY_CURRENT_USER, "Control Panel\\International"));
  ASSERT_TRUE(registry.WriteString("sShortDate", "yyyy-MM-dd"));
  ASSERT_TRUE(registry.WriteString("sDate", "-"));
  EXPECT_EQ(FormatDateTime(At(10, 30, 0)), "2006-12-05 10:30:00 AM");
}

TEST_F(DateTimeTextTest, ANewProfileWritesTimeStampsWithSeconds) {
  setenv("LC_ALL", "C", 1);
  std::string text = FormatDateTime(At(10, 30, 7));
  unsetenv("LC_ALL");
  EXPECT_EQ(text, "12/05/06 10:30:07");
}

TEST_F(DateTimeTextTest, APointInTimeIsShownInLocalTime) {
  const char* saved = std::getenv("TZ");
  std::string old = saved ? saved : "";
  setenv("TZ", "UTC", 1);
  tzset();
  SetRegional({{"sShortDate", "M/d/yyyy"}, {"sTimeFormat", "h:mm:ss tt"}});
  FixedClock clock(1165314600);  // 2006-12-05 10:30:00 UTC
  EXPECT_EQ(FormatDateTime(clock.Now()), "12/5/2006 10:30:00 AM");
  EXPECT_EQ(FormatDate(clock.Now()), "12/5/2006");
  EXPECT_EQ(FormatTime(clock.Now()), "10:30:00 AM");
  if (saved)
    setenv("TZ", old.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}

TEST(SystemClock, TellsTheTimeOfDay) {
  std::time_t before = std::time(nullptr);
  std::time_t now = SystemClock().Now();
  EXPECT_GE(now, before);
}

TEST(DateTimeParsing, ReadsBackWhatEachPictureWrites) {
  struct Case {
    const char* date;
    const char* time;
    const char* am;
    const char* pm;
  };
  for (const Case& c : {Case{"M/d/yyyy", "h:mm:ss tt", "AM", "PM"},
                        Case{"dd.MM.yyyy", "HH:mm:ss", "", ""},
                        Case{"yyyy-MM-dd", "H:m:s", "vorm.", "nachm."},
                        Case{"d MMMM yyyy", "hh.mm.ss t", "a.m.", "p.m."},
                        Case{"MM/dd/yy", "hh:mm:ss tt", "AM", "PM"}}) {
    DateTimeFormats formats;
    formats.am_symbol = c.am;
    formats.pm_symbol = c.pm;
    formats.date_format = DateTimeFormats::DateFormatFromPicture(c.date, "/");
    formats.time_format = DateTimeFormats::TimeFormatFromPicture(c.time, ":");
    if (std::string(c.time).find('.') != std::string::npos) {
      formats.time_format = DateTimeFormats::TimeFormatFromPicture(c.time, ".");
    }
    for (const auto& [hour, minute, second] : {std::tuple{0, 0, 0}, {0, 30, 5}, {11, 59, 59},
                                               {12, 0, 0}, {13, 7, 9}, {23, 59, 58}}) {
      const std::tm written = At(hour, minute, second);
      const std::string text = formats.FormatDateTime(written);
      std::tm read{};
      ASSERT_TRUE(formats.ParseDateTime(text, &read)) << c.date << " " << c.time << ": " << text;
      EXPECT_EQ(read.tm_year, written.tm_year) << text;
      EXPECT_EQ(read.tm_mon, written.tm_mon) << text;
      EXPECT_EQ(read.tm_mday, written.tm_mday) << text;
      EXPECT_EQ(read.tm_hour, written.tm_hour) << text;
      EXPECT_EQ(read.tm_min, written.tm_min) << text;
      EXPECT_EQ(read.tm_sec, written.tm_sec) << text;
    }
  }
}

TEST(DateTimeParsing, RefusesTextTheFormatsDoNotWrite) {
  DateTimeFormats formats;
  formats.date_format = DateTimeFormats::DateFormatFromPicture("M/d/yyyy", "/");
  formats.time_format = DateTimeFormats::TimeFormatFromPicture("h:mm:ss tt", ":");
  std::tm read{};
  EXPECT_TRUE(formats.ParseDateTime("12/5/2006 1:02:03 PM", &read));
  EXPECT_EQ(read.tm_hour, 13);
  for (const char* text : {"", "12/5/2006", "12/5/2006 1:02:03", "12/5/2006 1:02:03 PM extra",
                           "2006-12-05 13:02:03", "13/5/2006 1:02:03 PM", "133456789012345678"}) {
    EXPECT_FALSE(formats.ParseDateTime(text, &read)) << text;
  }
}

}  // namespace
}  // namespace tessary
