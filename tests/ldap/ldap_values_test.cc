#include "directory/ds/ldap/ldap_values.h"

#include <gtest/gtest.h>

#include <chrono>

#include "directory/ds/ads_syntax.h"
#include "directory/ds/dn.h"

namespace tessary::ds::ldap {
namespace {

using namespace std::chrono;

AttributeInfo Info(int om_syntax, const char* syntax) {
  AttributeInfo info;
  info.om_syntax = om_syntax;
  info.attribute_syntax = syntax;
  info.type = AdsTypeOfSyntax(om_syntax, syntax);
  return info;
}

TEST(SyntaxTypes, FollowTheAdsiMapping) {
  EXPECT_EQ(AdsTypeOfSyntax(1, "2.5.5.8"), ADSTYPE_BOOLEAN);
  EXPECT_EQ(AdsTypeOfSyntax(2, "2.5.5.9"), ADSTYPE_INTEGER);
  EXPECT_EQ(AdsTypeOfSyntax(10, "2.5.5.9"), ADSTYPE_INTEGER);
  EXPECT_EQ(AdsTypeOfSyntax(4, "2.5.5.17"), ADSTYPE_OCTET_STRING);  // objectSid
  EXPECT_EQ(AdsTypeOfSyntax(4, "2.5.5.10"), ADSTYPE_OCTET_STRING);  // objectGUID
  EXPECT_EQ(AdsTypeOfSyntax(65, "2.5.5.16"), ADSTYPE_LARGE_INTEGER);
  EXPECT_EQ(AdsTypeOfSyntax(24, "2.5.5.11"), ADSTYPE_UTC_TIME);
  EXPECT_EQ(AdsTypeOfSyntax(23, "2.5.5.11"), ADSTYPE_UTC_TIME);
  EXPECT_EQ(AdsTypeOfSyntax(127, "2.5.5.1"), ADSTYPE_DN_STRING);
  EXPECT_EQ(AdsTypeOfSyntax(127, "2.5.5.14"), ADSTYPE_DN_STRING);
  EXPECT_EQ(AdsTypeOfSyntax(127, "2.5.5.17"), ADSTYPE_DN_WITH_BINARY);
  EXPECT_EQ(AdsTypeOfSyntax(127, "2.5.5.7"), ADSTYPE_CASE_IGNORE_STRING);
  EXPECT_EQ(AdsTypeOfSyntax(127, "2.5.5.10"), ADSTYPE_OCTET_STRING);
  EXPECT_EQ(AdsTypeOfSyntax(64, "2.5.5.12"), ADSTYPE_CASE_IGNORE_STRING);
  EXPECT_EQ(AdsTypeOfSyntax(27, "2.5.5.3"), ADSTYPE_CASE_EXACT_STRING);
  EXPECT_EQ(AdsTypeOfSyntax(18, "2.5.5.6"), ADSTYPE_NUMERIC_STRING);
  EXPECT_EQ(AdsTypeOfSyntax(22, "2.5.5.5"), ADSTYPE_PRINTABLE_STRING);
  EXPECT_EQ(AdsTypeOfSyntax(66, "2.5.5.15"), ADSTYPE_NT_SECURITY_DESCRIPTOR);
}

TEST(WireValues, BecomeTypedValues) {
  EXPECT_EQ(ValueFromLdap("TRUE", Info(1, "2.5.5.8")), Value::Boolean(true));
  EXPECT_EQ(ValueFromLdap("-2147483646", Info(2, "2.5.5.9")), Value::Integer(-2147483646));
  // Flags AD writes unsigned keep their bits.
  EXPECT_EQ(ValueFromLdap("4294967295", Info(2, "2.5.5.9")), Value::Integer(-1));
  EXPECT_EQ(ValueFromLdap("9223372036854775807", Info(65, "2.5.5.16")),
            Value::LargeInteger(9223372036854775807));
  EXPECT_EQ(ValueFromLdap("20240131120304.0Z", Info(24, "2.5.5.11")),
            Value::Time(sys_days(2024y / January / 31) + 12h + 3min + 4s));
  EXPECT_EQ(ValueFromLdap("240131120304Z", Info(23, "2.5.5.11")),
            Value::Time(sys_days(2024y / January / 31) + 12h + 3min + 4s));
  // A time the directory's own rules refuse stays text rather than failing the read.
  EXPECT_EQ(ValueFromLdap("20240131120304.5", Info(24, "2.5.5.11")),
            Value::String("20240131120304.5", ADSTYPE_CASE_IGNORE_STRING));
  EXPECT_EQ(ValueFromLdap("20241231235960Z", Info(24, "2.5.5.11")),
            Value::String("20241231235960Z", ADSTYPE_CASE_IGNORE_STRING));
  std::string binary("\x01\x00\xff", 3);
  EXPECT_EQ(ValueFromLdap(binary, Info(4, "2.5.5.17")), Value::Octets({1, 0, 255}));
  EXPECT_EQ(ValueFromLdap("CN=x,DC=y", Info(127, "2.5.5.1")),
            Value::String("CN=x,DC=y", ADSTYPE_DN_STRING));
}

TEST(WireValues, ThatDoNotParseStayText) {
  EXPECT_EQ(ValueFromLdap("yes", Info(1, "2.5.5.8")), Value::String("yes"));
  EXPECT_EQ(ValueFromLdap("12x", Info(2, "2.5.5.9")), Value::String("12x"));
  EXPECT_EQ(ValueFromLdap("20241331000000.0Z", Info(24, "2.5.5.11")),
            Value::String("20241331000000.0Z"));
}

TEST(TypedValues, BecomeWireValuesBySyntax) {
  std::string wire;
  ASSERT_EQ(LdapFromValue(Value::Boolean(false), Info(1, "2.5.5.8"), &wire), S_OK);
  EXPECT_EQ(wire, "FALSE");
  ASSERT_EQ(LdapFromValue(Value::Integer(514), Info(2, "2.5.5.9"), &wire), S_OK);
  EXPECT_EQ(wire, "514");
  ASSERT_EQ(LdapFromValue(Value::LargeInteger(-1), Info(65, "2.5.5.16"), &wire), S_OK);
  EXPECT_EQ(wire, "-1");
  UtcTime when = sys_days(2009y / March / 5) + 1h + 2min + 3s;
  ASSERT_EQ(LdapFromValue(Value::Time(when), Info(24, "2.5.5.11"), &wire), S_OK);
  EXPECT_EQ(wire, "20090305010203.0Z");
  ASSERT_EQ(LdapFromValue(Value::Time(when), Info(23, "2.5.5.11"), &wire), S_OK);
  EXPECT_EQ(wire, "090305010203Z");
  ASSERT_EQ(LdapFromValue(Value::Octets({0, 1}), Info(4, "2.5.5.10"), &wire), S_OK);
  EXPECT_EQ(wire, std::string("\0\1", 2));
}

TEST(TypedValues, TextMustBeTheWireFormOfATypedSyntax) {
  std::string wire;
  EXPECT_EQ(LdapFromValue(Value::String("512"), Info(2, "2.5.5.9"), &wire), S_OK);
  EXPECT_EQ(wire, "512");
  EXPECT_EQ(LdapFromValue(Value::String("many"), Info(2, "2.5.5.9"), &wire),
            MakeHresult(0x8007200B));
  EXPECT_EQ(LdapFromValue(Value::String("4294967296"), Info(2, "2.5.5.9"), &wire),
            MakeHresult(0x8007200B));
  EXPECT_EQ(LdapFromValue(Value::String("yes"), Info(1, "2.5.5.8"), &wire),
            MakeHresult(0x8007200B));
  EXPECT_EQ(LdapFromValue(Value::String("-1"), Info(65, "2.5.5.16"), &wire), S_OK);
  EXPECT_EQ(LdapFromValue(Value::String("1.5"), Info(65, "2.5.5.16"), &wire),
            MakeHresult(0x8007200B));
  EXPECT_EQ(LdapFromValue(Value::String("20240101000000.0Z"), Info(24, "2.5.5.11"), &wire), S_OK);
  EXPECT_EQ(LdapFromValue(Value::String("yesterday"), Info(24, "2.5.5.11"), &wire),
            MakeHresult(0x8007200B));
  EXPECT_EQ(LdapFromValue(Value::String("anything"), Info(64, "2.5.5.12"), &wire), S_OK);
}

TEST(TypedValues, RefuseWhatTheSyntaxCannotHold) {
  std::string wire;
  EXPECT_EQ(LdapFromValue(Value(), Info(64, "2.5.5.12"), &wire), E_ADS_CANT_CONVERT_DATATYPE);
  EXPECT_EQ(LdapFromValue(Value::Time(UtcTime{}), Info(64, "2.5.5.12"), &wire),
            E_ADS_CANT_CONVERT_DATATYPE);
}

TEST(AttributeNames, LoseTheirOptions) {
  EXPECT_EQ(BaseAttributeName("member;range=0-99"), "member");
  EXPECT_EQ(BaseAttributeName("member"), "member");
}

TEST(AttributeNames, GoOnTheWireWithLowerCaseOptions) {
  EXPECT_EQ(WireAttributeName("Member;Range=0-99"), "Member;range=0-99");
  EXPECT_EQ(WireAttributeName("displayName"), "displayName");
}

TEST(FilterValues, EscapeTheFilterSpecials) {
  EXPECT_EQ(EscapeFilterValue("a*b(c)d\\e"), "a\\2ab\\28c\\29d\\5ce");
  EXPECT_EQ(EscapeFilterValue(std::string("x\0y", 3)), "x\\00y");
  EXPECT_EQ(EscapeFilterValue("CN=Smith\\, John"), "CN=Smith\\5c, John");
}

TEST(UnicodePwd, IsTheQuotedPasswordInUtf16LittleEndian) {
  std::string wire;
  ASSERT_TRUE(UnicodePwdValue("ab", &wire));
  EXPECT_EQ(wire, std::string("\"\0a\0b\0\"\0", 8));
  ASSERT_TRUE(UnicodePwdValue("\xc3\xa9", &wire));  // é
  EXPECT_EQ(wire, std::string("\"\0\xe9\0\"\0", 6));
  ASSERT_TRUE(UnicodePwdValue("\xf0\x9f\x98\x80", &wire));  // U+1F600, a surrogate pair
  EXPECT_EQ(wire, std::string("\"\0\x3d\xd8\x00\xde\"\0", 8));
}

TEST(UnicodePwd, RefusesInvalidUtf8) {
  std::string wire;
  EXPECT_FALSE(UnicodePwdValue("\xc3", &wire));
  EXPECT_FALSE(UnicodePwdValue("\xed\xa0\x80", &wire));  // an encoded surrogate
}

}  // namespace
}  // namespace tessary::ds::ldap
