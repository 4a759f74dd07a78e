// The messages of failing writes and schema look-ups, with a directory object that fails or
// answers on purpose.

#include <gtest/gtest.h>

#include "directory/ad_object.h"
#include "fake_object.h"

namespace tessary {
namespace {

using testing::FakeDirectory;
using testing::FakeObject;

class MessageTest : public ::testing::Test {
 protected:
  FakeDirectory directory_;
  FakeObject object_;  // Put, PutEx and the rest fail with "Not implemented."
  CBVKADObject ad_{&directory_};
};

TEST_F(MessageTest, FailedWritesNameAttributeAndValue) {
  EXPECT_FALSE(ad_.PutString(object_, "description", "v"));
  EXPECT_EQ(ad_.Error().GetText(),
            "Could not modify the attribute 'description' with the value 'v'.\nNot implemented. "
            "(80004001)");
  EXPECT_FALSE(ad_.PutInteger(object_, "flags", -5));
  EXPECT_EQ(ad_.Error().GetText(),
            "Could not modify the attribute 'flags' with the value '-5'.\nNot implemented. "
            "(80004001)");
  EXPECT_FALSE(ad_.PutBoolean(object_, "b", 2));
  EXPECT_EQ(
      ad_.Error().GetText().rfind("Could not modify the attribute 'b' with the value 'TRUE'.", 0),
      0u);
  EXPECT_FALSE(ad_.PutBoolean(object_, "b", 0));
  EXPECT_EQ(
      ad_.Error().GetText().rfind("Could not modify the attribute 'b' with the value 'FALSE'.", 0),
      0u);
}

TEST_F(MessageTest, MultiValueFailureQuotesValuesWithCommas) {
  EXPECT_FALSE(ad_.PutMultiString(object_, "m", {"a,b", "c"}, CBVKADObject::AppendValues::Yes));
  EXPECT_EQ(ad_.Error().GetText(),
            "Could not modify the attribute 'm' with the value '\"a,b\",c'.\nNot implemented. "
            "(80004001)");
}

TEST_F(MessageTest, EmptyTextClearsInsteadOfWriting) {
  EXPECT_FALSE(ad_.PutString(object_, "description", ""));  // PutEx is asked, and fails
  EXPECT_FALSE(ad_.ClearAttribute(object_, "description"));
  EXPECT_EQ(ad_.Error().GetText(),
            "Could not clear the attribute 'description'.\nNot implemented. (80004001)");
}

TEST_F(MessageTest, AccountFlagCommitFailureKeepsTheFlagMessage) {
  object_.account_result = S_OK;
  object_.set_info_result = MakeHresult(0x8007202F);
  EXPECT_FALSE(ad_.SetAccountDisabled(object_, true));
  EXPECT_EQ(ad_.Error().GetText().rfind("Could not disable the account.\nThere was a constraint "
                                        "violation.",
                                        0),
            0u);
  EXPECT_FALSE(ad_.SetAccountDisabled(object_, false));
  EXPECT_EQ(ad_.Error().GetText().rfind("Could not enable the account.\n", 0), 0u);
}

TEST_F(MessageTest, PasswordAndCommit) {
  EXPECT_FALSE(ad_.SetPassword(object_, "x"));
  EXPECT_EQ(ad_.Error().GetText(), "Could not set the password.\nNot implemented. (80004001)");
  HRESULT result = S_OK;
  EXPECT_FALSE(ad_.Commit(object_, &result));
  EXPECT_EQ(result, E_NOTIMPL);
  EXPECT_EQ(ad_.Error().GetText(), "Could not commit changes.\nNot implemented. (80004001)");
}

TEST_F(MessageTest, SidWriteFailure) {
  EXPECT_FALSE(ad_.AppendSID(object_, "sIDHistory", "S-1-5-21-1-2-3-500"));
  EXPECT_EQ(ad_.Error().GetText(),
            "\nNot implemented. (80004001)\nCould not write the value 'S-1-5-21-1-2-3-500' to the "
            "'sIDHistory' security attribute.");
}

std::vector<ds::Attribute> SchemaRow(int om_syntax, const std::string& attribute_syntax) {
  return {
      {"attributeSyntax", ds::ADSTYPE_CASE_IGNORE_STRING, {ds::Value::String(attribute_syntax)}},
      {"oMSyntax", ds::ADSTYPE_INTEGER, {ds::Value::Integer(om_syntax)}},
      {"isSingleValued", ds::ADSTYPE_BOOLEAN, {ds::Value::Boolean(true)}},
      {"adminDisplayName", ds::ADSTYPE_CASE_IGNORE_STRING, {ds::Value::String("Odd")}}};
}

TEST_F(MessageTest, UnknownSyntaxNamesBothSyntaxValues) {
  directory_.object.rows = {SchemaRow(8, "2.5.5.9")};
  std::string display, ldap = "odd", syntax;
  int ads_type = 0, variant_type = 0;
  bool single = false;
  EXPECT_FALSE(ad_.GetAttributeInfo("CN=Schema", &display, &ldap, &ads_type, &variant_type, &single,
                                    &syntax));
  EXPECT_EQ(ad_.Error().GetText(),
            "Could not identify the schema attribute with the LDAP name 'odd'.\nOM-Syntax: "
            "8\nAttribute-Syntax: 2.5.5.9");
}

TEST_F(MessageTest, SyntaxRowWithoutTypeInformation) {
  auto row = SchemaRow(64, "2.5.5.12");
  row.erase(row.begin() + 1);  // no oMSyntax
  directory_.object.rows = {row};
  std::string display, ldap = "odd";
  int ads_type = 0, variant_type = 0;
  bool single = false;
  EXPECT_FALSE(
      ad_.GetAttributeInfo("CN=Schema", &display, &ldap, &ads_type, &variant_type, &single));
  EXPECT_EQ(ad_.Error().GetText(),
            "Could not locate attribute type information for the schema attribute with the LDAP "
            "name 'odd'.");
}

TEST_F(MessageTest, SyntaxRowWithoutDisplayName) {
  auto row = SchemaRow(64, "2.5.5.12");
  row.pop_back();
  directory_.object.rows = {row};
  std::string display, ldap = "odd";
  int ads_type = 0, variant_type = 0;
  bool single = false;
  EXPECT_FALSE(
      ad_.GetAttributeInfo("CN=Schema", &display, &ldap, &ads_type, &variant_type, &single));
  EXPECT_EQ(ad_.Error().GetText(), "Could not locate the display name for the attribute 'odd'.");
}

TEST_F(MessageTest, SyntaxTextOnlyWhenAsked) {
  directory_.object.rows = {SchemaRow(127, "2.5.5.14")};
  std::string display, ldap = "odd";
  int ads_type = 0, variant_type = 0;
  bool single = false;
  ASSERT_TRUE(ad_.GetAttributeInfo("CN=Schema", &display, &ldap, &ads_type, &variant_type, &single))
      << ad_.Error().GetText();
  EXPECT_EQ(display, "Odd");
  EXPECT_EQ(ads_type, 1);
  EXPECT_EQ(variant_type, 8);
  EXPECT_TRUE(single);
}

}  // namespace
}  // namespace tessary
