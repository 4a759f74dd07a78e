#include "platform/regional_settings.h"

#include <gtest/gtest.h>

namespace tessary::platform {
namespace {

TEST(PictureFromStrftime, TranslatesEachConversion) {
  EXPECT_EQ(PictureFromStrftime("%m/%d/%y"), "MM/dd/yy");
  EXPECT_EQ(PictureFromStrftime("%d.%m.%Y"), "dd.MM.yyyy");
  EXPECT_EQ(PictureFromStrftime("%F"), "yyyy-MM-dd");
  EXPECT_EQ(PictureFromStrftime("%D"), "MM/dd/yy");
  EXPECT_EQ(PictureFromStrftime("%r"), "hh:mm:ss tt");
  EXPECT_EQ(PictureFromStrftime("%T"), "HH:mm:ss");
  EXPECT_EQ(PictureFromStrftime("%-d/%-m/%Y %l:%M %p"), "d/M/yyyy h:mm tt");
  EXPECT_EQ(PictureFromStrftime("%a %e %b %B %A"), "ddd d MMM MMMM dddd");
  EXPECT_EQ(PictureFromStrftime("%Ey %Od"), "yy dd");
}

TEST(PictureFromStrftime, QuotesLiteralLettersAndKeepsOtherText) {
  EXPECT_EQ(PictureFromStrftime("%H h %M"), "HH 'h' mm");
  EXPECT_EQ(PictureFromStrftime("%Y\xE5\xB9\xB4%m"), "yyyy\xE5\xB9\xB4MM");
  EXPECT_EQ(PictureFromStrftime("100%%"), "100%");
}

TEST(RegionalSettingsFrom, AmericanEnglish) {
  RegionalSettings settings = RegionalSettingsFrom("%m/%d/%Y", "%r", "AM", "PM");
  EXPECT_EQ(settings.short_date, "MM/dd/yyyy");
  EXPECT_EQ(settings.date_separator, "/");
  EXPECT_EQ(settings.time_format, "hh:mm:ss tt");
  EXPECT_EQ(settings.time_separator, ":");
  EXPECT_EQ(settings.am_symbol, "AM");
  EXPECT_EQ(settings.pm_symbol, "PM");
  EXPECT_EQ(settings.date_order, 0);
  EXPECT_EQ(settings.twenty_four_hour, 0);
  EXPECT_EQ(settings.hour_leading_zero, 1);
}

TEST(RegionalSettingsFrom, GermanWithoutSecondsGetsSeconds) {
  RegionalSettings settings = RegionalSettingsFrom("%d.%m.%Y", "%H:%M", "", "");
  EXPECT_EQ(settings.short_date, "dd.MM.yyyy");
  EXPECT_EQ(settings.date_separator, ".");
  EXPECT_EQ(settings.time_format, "HH:mm:ss");
  EXPECT_EQ(settings.date_order, 1);
  EXPECT_EQ(settings.twenty_four_hour, 1);
}

TEST(RegionalSettingsFrom, YearFirstAndSingleDigitHours) {
  RegionalSettings settings = RegionalSettingsFrom("%Y-%m-%d", "%k.%M.%S", "", "");
  EXPECT_EQ(settings.date_order, 2);
  EXPECT_EQ(settings.date_separator, "-");
  EXPECT_EQ(settings.time_format, "H.mm.ss");
  EXPECT_EQ(settings.time_separator, ".");
  EXPECT_EQ(settings.hour_leading_zero, 0);
}

}  // namespace
}  // namespace tessary::platform
