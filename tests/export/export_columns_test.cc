#include "export/export_columns.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

using Columns = std::vector<std::string>;

Columns WithIdentity(Columns columns) {
  PutIdentityColumns(&columns);
  return columns;
}

TEST(IdentityColumns, NoAttributesGiveTheTwoFixedColumns) {
  EXPECT_EQ(WithIdentity({}), (Columns{"distinguishedName", "objectGUID"}));
}

TEST(IdentityColumns, AreInsertedBeforeTheChosenAttributes) {
  EXPECT_EQ(WithIdentity({"mail", "sn"}),
            (Columns{"distinguishedName", "objectGUID", "mail", "sn"}));
}

TEST(IdentityColumns, AlreadyInPlaceAreNotRepeated) {
  EXPECT_EQ(WithIdentity({"distinguishedName", "objectGUID", "mail"}),
            (Columns{"distinguishedName", "objectGUID", "mail"}));
  EXPECT_EQ(WithIdentity({"distinguishedName", "mail"}),
            (Columns{"distinguishedName", "objectGUID", "mail"}));
  EXPECT_EQ(WithIdentity({"objectGUID", "mail"}),
            (Columns{"distinguishedName", "objectGUID", "mail"}));
}

TEST(IdentityColumns, OnlyTheFirstTwoPositionsAreLookedAt) {
  EXPECT_EQ(WithIdentity({"mail", "objectGUID"}),
            (Columns{"distinguishedName", "objectGUID", "mail", "objectGUID"}));
}

TEST(ColumnLine, JoinsNamesWithCommas) {
  EXPECT_EQ(ColumnLine({"distinguishedName", "objectGUID", "mail"}),
            "distinguishedName,objectGUID,mail");
}

class ExportLineTest : public ::testing::Test {
 protected:
  void Store(const std::string& name, std::vector<std::string> texts) {
    std::vector<CBVKADValue> values;
    for (std::string& text : texts) values.emplace_back(std::move(text));
    row_.Store(name, std::move(values));
  }
  CBVKADPropertySet row_;
  DateTimeFormats formats_;
};

TEST_F(ExportLineTest, ValueWithACommaIsQuoted) {
  Store("description", {"Sales, Seattle office"});
  Store("sn", {"Smith"});
  EXPECT_EQ(ExportLine(row_, {"sn", "description"}, formats_), "Smith,\"Sales, Seattle office\"");
}

TEST_F(ExportLineTest, ValueWithQuotesIsQuotedWithItsQuotesDoubled) {
  Store("info", {"Says \"hi\""});
  EXPECT_EQ(ExportLine(row_, {"info"}, formats_), "\"Says \"\"hi\"\"\"");
}

TEST_F(ExportLineTest, LineBreakIsWrittenAsBackslashRBackslashN) {
  Store("streetAddress", {"12 Main St\r\nSuite 4"});
  EXPECT_EQ(ExportLine(row_, {"streetAddress"}, formats_), "12 Main St\\r\\nSuite 4");
}

TEST_F(ExportLineTest, LineBreakAndCommaTogether) {
  Store("streetAddress", {"12 Main St\r\nSuite 4, Floor 2"});
  EXPECT_EQ(ExportLine(row_, {"streetAddress"}, formats_), "\"12 Main St\\r\\nSuite 4, Floor 2\"");
}

TEST_F(ExportLineTest, MultipleValuesAreJoinedWithPercent) {
  Store("otherTelephone", {"a", "b"});
  EXPECT_EQ(ExportLine(row_, {"otherTelephone"}, formats_), "a%b");
}

TEST_F(ExportLineTest, AMissingAttributeGivesAnEmptyField) {
  Store("sn", {"Smith"});
  EXPECT_EQ(ExportLine(row_, {"mail", "sn", "title"}, formats_), ",Smith,");
}

TEST_F(ExportLineTest, NonAsciiLettersAreWrittenAsTheyAre) {
  Store("displayName", {"J\xC3\xB6rg M\xC3\xBCller"});
  EXPECT_EQ(ExportLine(row_, {"displayName"}, formats_), "J\xC3\xB6rg M\xC3\xBCller");
}

TEST_F(ExportLineTest, TimesAreWrittenWithTheRunsFormatsNotTheSettingsOfTheMoment) {
  formats_.date_format = "%Y-%m-%d";
  formats_.time_format = "%H:%M:%S";
  row_.Store("whenCreated", {CBVKADValue(CBVKADTime{2026, 12, 8, 10, 11, 12})});
  EXPECT_EQ(ExportLine(row_, {"whenCreated"}, formats_), "2026-12-08 10:11:12");
}

}  // namespace
}  // namespace tessary
