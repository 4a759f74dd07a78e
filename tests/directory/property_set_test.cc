#include "directory/property_set.h"

#include <gtest/gtest.h>

#include "fake_object.h"
#include "scoped_time_zone.h"
#include "support/date_time_text.h"
#include "test_support.h"

namespace tessary {
namespace {

using testing::FakeObject;

// 2005-06-15 12:30:45 UTC.
constexpr std::int64_t kUnixTime = 1118838645;
constexpr std::int64_t kFileTime = kUnixTime * 10000000LL + 116444736000000000LL;

class PropertySetTest : public ::testing::Test {
 protected:
  std::string Text(const std::string& name) {
    std::string text;
    EXPECT_TRUE(set_.GetText(name, &text)) << set_.Error().GetText();
    return text;
  }

  testing::ScopedMachine machine_;  // time text reads the user's regional settings
  testing::ScopedTimeZone zone_{"UTC0"};
  CBVKADPropertySet set_;
  FakeObject object_;
};

TEST_F(PropertySetTest, StoringANameAgainReplacesItsValuesInPlace) {
  set_.Store("a", {CBVKADValue("1")});
  set_.Store("b", {CBVKADValue("2")});
  set_.Store("a", {CBVKADValue("3")});
  ASSERT_EQ(set_.GetEntryCount(), 2);
  EXPECT_EQ(set_.GetEntryName(0), "a");
  EXPECT_EQ(Text("a"), "3");
}

TEST_F(PropertySetTest, DistinguishedNameIsStoredNormalised) {
  set_.Store("distinguishedName", {CBVKADValue("cn=a,dc=b")});
  EXPECT_EQ(Text("distinguishedName"), "CN=a,DC=b");
}

TEST_F(PropertySetTest, TextFormsOfTheFourKinds) {
  set_.Store("t", {CBVKADValue("x")});
  set_.Store("i", {CBVKADValue(std::int32_t{-42})});
  set_.Store("y", {CBVKADValue(true)});
  set_.Store("n", {CBVKADValue(false)});
  EXPECT_EQ(Text("t"), "x");
  EXPECT_EQ(Text("i"), "-42");
  EXPECT_EQ(Text("y"), "TRUE");
  EXPECT_EQ(Text("n"), "FALSE");
}

TEST_F(PropertySetTest, TimeTextIsTheFormattedLocalTime) {
  set_.Store("when", {CBVKADValue(CBVKADTime{2005, 6, 15, 12, 30, 45})});
  EXPECT_EQ(Text("when"), FormatDateTime(static_cast<std::time_t>(kUnixTime)));
  set_.Store("when", {CBVKADValue(CBVKADTime{2005, 6, 15, 13, 30, 45})});
  EXPECT_NE(Text("when"), FormatDateTime(static_cast<std::time_t>(kUnixTime)));
}

TEST_F(PropertySetTest, GetTextFailsOnMultipleValuesAndMissingEntries) {
  set_.Store("m", {CBVKADValue("a"), CBVKADValue("b")});
  std::string text;
  EXPECT_FALSE(set_.GetText("m", &text));
  EXPECT_EQ(set_.Error().GetText(), "The property 'm' has multiple values.");
  EXPECT_FALSE(set_.GetText("none", &text));
  EXPECT_EQ(set_.Error().GetText(), "Could not locate the property 'none'.");
  EXPECT_EQ(set_.GetValuesText("m", "%"), "a%b");
  EXPECT_EQ(set_.GetValuesText("m", ";", CBVKADPropertySet::NamePrefix::Yes), "m: a;b");
}

TEST_F(PropertySetTest, EmptyEntryGivesEmptyText) {
  set_.Store("e", {});
  EXPECT_EQ(Text("e"), "");
}

TEST_F(PropertySetTest, ValuesTextOfMissingEntryAndBadIndex) {
  EXPECT_EQ(set_.GetValuesText("x", "%"), "");
  EXPECT_EQ(set_.GetValuesText("x", "%", CBVKADPropertySet::NamePrefix::No,
                               CBVKADPropertySet::BracketErrors::Yes),
            "[Could not locate the property 'x'.]");
  EXPECT_EQ(set_.GetEntryName(3), "[OUT OF RANGE (3)]");
}

TEST_F(PropertySetTest, IntegerAndBooleanGettersCheckTheKind) {
  set_.Store("i", {CBVKADValue(std::int32_t{7})});
  std::int32_t integer = 0;
  bool boolean = true;
  ASSERT_TRUE(set_.GetInteger("i", &integer));
  EXPECT_EQ(integer, 7);
  EXPECT_FALSE(set_.GetBoolean("i", &boolean));
  EXPECT_EQ(set_.Error().GetText(),
            "Could not retrieve the value for 'i'.\nThe value is not a boolean.");
}

TEST_F(PropertySetTest, LargeIntegerTimesAndNever) {
  object_.values["accountExpires"] = {ds::Value::LargeInteger(0x7FFFFFFFFFFFFFFFLL)};
  object_.values["lockoutTime"] = {ds::Value::LargeInteger(0)};
  object_.values["pwdLastSet"] = {ds::Value::LargeInteger(kFileTime)};
  object_.values["uSNChanged"] = {ds::Value::LargeInteger(12345)};
  ASSERT_TRUE(
      set_.ReadAttributes(object_, {"accountExpires", "lockoutTime", "pwdLastSet", "uSNChanged"}));
  EXPECT_EQ(Text("accountExpires"), "-1");
  EXPECT_EQ(Text("lockoutTime"), "0");
  const CBVKADPropertyEntry* pwd = set_.FindEntry("pwdLastSet");
  ASSERT_NE(pwd, nullptr);
  ASSERT_EQ(pwd->values.size(), 1u);
  EXPECT_EQ(*pwd->values[0].AsTime(), (CBVKADTime{2005, 6, 15, 12, 30, 45}));
  // Any other large integer is its decimal number, all 64 bits of it, so it exports and
  // imports back unchanged.
  EXPECT_EQ(Text("uSNChanged"), "12345");
  object_.values["uSNChanged"] = {ds::Value::LargeInteger(0x7FFFFFFFFFFFFFFFLL)};
  ASSERT_TRUE(set_.ReadAttributes(object_, {"uSNChanged"}));
  EXPECT_EQ(Text("uSNChanged"), "9223372036854775807");
}

TEST_F(PropertySetTest, UnconvertedTypesShowTheirTypeName) {
  object_.values["p"] = {ds::Value::String("abc", ds::ADSTYPE_PRINTABLE_STRING)};
  object_.values["o"] = {ds::Value::Octets({1, 2, 3})};
  ASSERT_TRUE(set_.ReadAttributes(object_, {"p", "o"}));
  EXPECT_EQ(Text("p"), "[Printable String]");
  EXPECT_EQ(Text("o"), "[Octet String]");
}

TEST_F(PropertySetTest, UtcTimeIsShiftedByTheStandardBias) {
  testing::ScopedTimeZone::Set(testing::kCentralEurope);
  object_.values["whenCreated"] = {ds::Value::Time(ds::UtcTime(std::chrono::seconds(kUnixTime)))};
  ASSERT_TRUE(set_.ReadAttribute(object_, "whenCreated"));
  EXPECT_EQ(*set_.FindEntry("whenCreated")->values[0].AsTime(),
            (CBVKADTime{2005, 6, 15, 13, 30, 45}));
}

TEST_F(PropertySetTest, MissingValueIsSkippedByReadAttributes) {
  object_.values["cn"] = {ds::Value::String("x")};
  ASSERT_TRUE(set_.ReadAttributes(object_, {"description", "cn"}));
  EXPECT_EQ(set_.GetEntryCount(), 1);
  EXPECT_FALSE(set_.ReadAttribute(object_, "description"));
  EXPECT_EQ(set_.Error().Code(), E_ADS_PROPERTY_NOT_FOUND);
  EXPECT_EQ(set_.Error().GetText(),
            "Could not access information for the attribute value.\nThe ADSI property cannot be "
            "found in the cache. (8000500d)\nCould not read the property 'description'.");
}

TEST_F(PropertySetTest, RefreshFailureIsReported) {
  object_.get_info_result = E_DS_NO_SUCH_OBJECT;
  EXPECT_FALSE(set_.ReadAttributes(object_, {"cn"}));
  EXPECT_EQ(set_.Error().GetText(),
            "Could not retrieve the list of defined properties for this object.\nObject does not "
            "exist. (80072030)");
}

TEST_F(PropertySetTest, ObjectGuidIsReadAsItsHexDigits) {
  ASSERT_TRUE(set_.ReadAttribute(object_, "objectGUID"));
  EXPECT_EQ(Text("objectGUID"), "00112233445566778899aabbccddeeff");
}

TEST_F(PropertySetTest, GroupOf250MembersIsReadInThreeRanges) {
  for (int i = 0; i < 250; ++i) object_.members.push_back("CN=u" + std::to_string(i) + ",DC=x");
  ASSERT_TRUE(set_.ReadAttribute(object_, "member")) << set_.Error().GetText();
  EXPECT_EQ(object_.requests, (std::vector<std::string>{"Member;Range=0-99", "Member;Range=100-199",
                                                        "Member;Range=200-299"}));
  std::vector<std::string> texts;
  ASSERT_TRUE(set_.GetTextList("member", &texts));
  ASSERT_EQ(texts.size(), 250u);
  EXPECT_EQ(texts[0], "CN=u0,DC=x");
  EXPECT_EQ(texts[249], "CN=u249,DC=x");
}

TEST_F(PropertySetTest, GroupWithoutMembersStoresNothing) {
  ASSERT_TRUE(set_.ReadAttribute(object_, "member"));
  EXPECT_EQ(set_.GetEntryCount(), 0);
}

TEST_F(PropertySetTest, FailingMemberRequest) {
  object_.object_attributes_result = E_ACCESSDENIED;
  EXPECT_FALSE(set_.ReadAttribute(object_, "member"));
  EXPECT_EQ(set_.Error().GetText(),
            "Could not read the 'member' attribute.\nThe user has insufficient access rights. "
            "(80070005)\nCould not enumerate group members.");
}

TEST_F(PropertySetTest, ObjectSidAsText) {
  object_.binary["objectSid"] = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 0x02, 0, 0};
  ASSERT_TRUE(set_.ReadAttribute(object_, "objectSid"));
  EXPECT_EQ(Text("objectSid"), "S-1-5-32-544");
}

TEST_F(PropertySetTest, MalformedSidIsReported) {
  object_.binary["objectSid"] = {1, 9, 0};
  EXPECT_FALSE(set_.ReadAttribute(object_, "objectSid"));
  EXPECT_EQ(set_.Error().GetText().rfind(
                "Could not convert the security information to a readable string.\n", 0),
            0u);
  EXPECT_NE(
      set_.Error().GetText().find("(539)\nCould not read the 'objectSid' security attribute."),
      std::string::npos);
}

TEST_F(PropertySetTest, SearchColumnsByType) {
  set_.StoreSearchColumn({"objectGUID",
                          ds::ADSTYPE_OCTET_STRING,
                          {ds::Value::Octets({0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88,
                                              0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF})}});
  set_.StoreSearchColumn({"thumbnailPhoto", ds::ADSTYPE_OCTET_STRING, {ds::Value::Octets({1})}});
  set_.StoreSearchColumn({"uSNChanged", ds::ADSTYPE_LARGE_INTEGER, {ds::Value::LargeInteger(5)}});
  set_.StoreSearchColumn({"objectClass",
                          ds::ADSTYPE_OBJECT_CLASS,
                          {ds::Value::String("top"), ds::Value::String("user")}});
  set_.StoreSearchColumn({"flag", ds::ADSTYPE_BOOLEAN, {ds::Value::Boolean(true)}});
  set_.StoreSearchColumn({"whenCreated",
                          ds::ADSTYPE_UTC_TIME,
                          {ds::Value::Time(ds::UtcTime(std::chrono::seconds(kUnixTime)))}});
  EXPECT_EQ(Text("objectGUID"), "{00112233-4455-6677-8899-aabbccddeeff}");
  EXPECT_EQ(set_.GetValuesText("objectClass", "%"), "top%user");
  EXPECT_EQ(Text("flag"), "TRUE");
  EXPECT_EQ(*set_.FindEntry("whenCreated")->values[0].AsTime(),
            (CBVKADTime{2005, 6, 15, 12, 30, 45}));
  EXPECT_EQ(Text("uSNChanged"), "5");
  EXPECT_EQ(set_.GetEntryCount(), 5);  // the photo is not stored
}

TEST_F(PropertySetTest, LargeIntegerSearchColumnsReadAsTheCacheReadsThem) {
  set_.StoreSearchColumn(
      {"accountExpires", ds::ADSTYPE_LARGE_INTEGER, {ds::Value::LargeInteger(0x7FFFFFFFFFFFFFFFLL)}});
  set_.StoreSearchColumn({"pwdLastSet", ds::ADSTYPE_LARGE_INTEGER, {ds::Value::LargeInteger(0)}});
  set_.StoreSearchColumn(
      {"lastLogon", ds::ADSTYPE_LARGE_INTEGER, {ds::Value::LargeInteger(kFileTime)}});
  EXPECT_EQ(Text("accountExpires"), "-1");
  EXPECT_EQ(Text("pwdLastSet"), "0");
  EXPECT_EQ(*set_.FindEntry("lastLogon")->values[0].AsTime(),
            (CBVKADTime{2005, 6, 15, 12, 30, 45}));
}

TEST_F(PropertySetTest, CopyReplacesEntries) {
  CBVKADPropertySet other;
  other.Store("x", {CBVKADValue("1")});
  set_.Store("y", {CBVKADValue("2")});
  set_.CopyFrom(other);
  EXPECT_EQ(set_.GetEntryCount(), 1);
  EXPECT_EQ(Text("x"), "1");
}

}  // namespace
}  // namespace tessary
