#include "attribute_syntaxes.h"

#include <gtest/gtest.h>

#include <chrono>

namespace tessary::tools {
namespace {

using namespace std::chrono;

AttributeSyntax Syntax(int om, const char* syntax = "") {
  AttributeSyntax s;
  s.om_syntax = om;
  s.attribute_syntax = syntax;
  return s;
}

ds::Value Convert(int om, const std::string& text, const char* syntax = "") {
  const AttributeSyntax s = Syntax(om, syntax);
  ds::Value value;
  std::string reason;
  EXPECT_TRUE(ValueFromLdif(&s, text, &value, &reason)) << reason;
  return value;
}

std::string Refusal(int om, const std::string& text) {
  const AttributeSyntax s = Syntax(om);
  ds::Value value;
  std::string reason;
  EXPECT_FALSE(ValueFromLdif(&s, text, &value, &reason));
  return reason;
}

TEST(ValueFromLdifTest, TypesValuesByTheirSyntax) {
  EXPECT_EQ(Convert(1, "TRUE"), ds::Value::Boolean(true));
  EXPECT_EQ(Convert(2, "512"), ds::Value::Integer(512));
  EXPECT_EQ(Convert(2, "-2147483646"), ds::Value::Integer(-2147483646));
  EXPECT_EQ(Convert(2, "2147483650"), ds::Value::Integer(-2147483646)) << "unsigned form";
  EXPECT_EQ(Convert(10, "3"), ds::Value::Integer(3));
  EXPECT_EQ(Convert(65, "9223372036854775807"), ds::Value::LargeInteger(9223372036854775807LL));
  EXPECT_EQ(Convert(4, std::string("\0\x01", 2)), ds::Value::Octets(ds::Bytes{0, 1}));
  EXPECT_EQ(Convert(24, "20240229235958.0Z"),
            ds::Value::Time(sys_days(2024y / February / 29) + 23h + 59min + 58s));
  EXPECT_EQ(Convert(24, "19991231000000Z"), ds::Value::Time(sys_days(1999y / December / 31)));
  EXPECT_EQ(Convert(23, "991231120000Z"), ds::Value::Time(sys_days(1999y / December / 31) + 12h));
  EXPECT_EQ(Convert(127, "CN=A,DC=x", "2.5.5.1"),
            ds::Value::String("CN=A,DC=x", ds::ADSTYPE_DN_STRING));
  EXPECT_EQ(Convert(64, "Zoë"), ds::Value::String("Zoë"));
  ds::Value value;
  std::string reason;
  ASSERT_TRUE(ValueFromLdif(nullptr, "unknown", &value, &reason));
  EXPECT_EQ(value, ds::Value::String("unknown")) << "an attribute not in the schema is text";
}

TEST(ValueFromLdifTest, RefusesTextThatDoesNotFit) {
  EXPECT_EQ(Refusal(1, "yes"), "'yes' is not TRUE or FALSE");
  EXPECT_EQ(Refusal(2, "12x"), "'12x' is not a 32-bit integer");
  EXPECT_EQ(Refusal(2, "4294967296"), "'4294967296' is not a 32-bit integer");
  EXPECT_EQ(Refusal(65, ""), "'' is not a large integer");
  EXPECT_EQ(Refusal(24, "20240230000000.0Z"), "'20240230000000.0Z' is not a generalized time");
  EXPECT_EQ(Refusal(24, "2024"), "'2024' is not a generalized time");
  EXPECT_EQ(Refusal(23, "20240101000000Z"), "'20240101000000Z' is not a UTC time");
}

TEST(LdifFromValueTest, WritesEachKind) {
  EXPECT_EQ(LdifFromValue(ds::Value::Boolean(false)), "FALSE");
  EXPECT_EQ(LdifFromValue(ds::Value::Integer(-2)), "-2");
  EXPECT_EQ(LdifFromValue(ds::Value::LargeInteger(132000000000000000LL)), "132000000000000000");
  EXPECT_EQ(LdifFromValue(ds::Value::String("text")), "text");
  EXPECT_EQ(LdifFromValue(ds::Value::Octets(ds::Bytes{0, 255})), std::string("\0\xff", 2));
  EXPECT_EQ(LdifFromValue(ds::Value::Time(sys_days(2001y / September / 17) + 8h + 5min + 1s)),
            "20010917080501.0Z");
}

TEST(AttributeSyntaxTest, KnowsWhatTheDirectoryMaintains) {
  AttributeSyntax member = Syntax(127, "2.5.5.1");
  member.link_id = 2;
  AttributeSyntax member_of = member;
  member_of.link_id = 3;
  AttributeSyntax sid = Syntax(4, "2.5.5.17");
  sid.system_only = true;
  AttributeSyntax constructed = Syntax(64);
  constructed.system_flags = 0x14;
  EXPECT_TRUE(member.ForwardLink());
  EXPECT_FALSE(member.MaintainedByDirectory());
  EXPECT_TRUE(member_of.MaintainedByDirectory());
  EXPECT_FALSE(member_of.ForwardLink());
  EXPECT_TRUE(sid.MaintainedByDirectory());
  EXPECT_TRUE(constructed.MaintainedByDirectory());
  AttributeSyntaxes syntaxes;
  syntaxes.Add("objectSid", sid);
  ASSERT_NE(syntaxes.Find("OBJECTSID"), nullptr);
  EXPECT_EQ(syntaxes.Find("missing"), nullptr);
}

}  // namespace
}  // namespace tessary::tools
