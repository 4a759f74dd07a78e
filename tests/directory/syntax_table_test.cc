#include "directory/syntax_table.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

struct Case {
  int om_syntax;
  const char* attribute_syntax;
  const char* text;
  int ads_type;
  int variant_type;
};

class SyntaxRowTest : public ::testing::TestWithParam<Case> {};

TEST_P(SyntaxRowTest, GivesTextAdsTypeAndVariantType) {
  const Case& c = GetParam();
  AttributeSyntax syntax;
  ASSERT_TRUE(LookUpSyntax(c.om_syntax, c.attribute_syntax, &syntax));
  EXPECT_EQ(syntax.text, c.text);
  EXPECT_EQ(syntax.ads_type, c.ads_type);
  EXPECT_EQ(syntax.variant_type, c.variant_type);
}

INSTANTIATE_TEST_SUITE_P(
    EveryRow, SyntaxRowTest,
    ::testing::Values(
        Case{1, "2.5.5.8", "Boolean", 6, 11}, Case{2, "2.5.5.9", "Integer", 7, 3},
        Case{4, "2.5.5.10", "Octet String", 8, 8209},
        Case{4, "2.5.5.17", "Security Identifier", 8, 8209},
        Case{4, "2.5.5.99", "Unknown Octet String", 8, 8209},
        Case{6, "2.5.5.2", "OID String", 3, 8}, Case{10, "2.5.5.9", "Enumeration", 7, 3},
        Case{18, "2.5.5.6", "Numeric String", 5, 8}, Case{19, "2.5.5.5", "Printable String", 4, 8},
        Case{20, "2.5.5.4", "Case Ignore String", 3, 8}, Case{22, "2.5.5.5", "IA5 String", 4, 8},
        Case{23, "2.5.5.11", "UTC Time", 9, 7}, Case{24, "2.5.5.11", "Generalized Time", 9, 7},
        Case{27, "2.5.5.3", "Case Exact String", 2, 8},
        Case{64, "2.5.5.12", "Directory String", 3, 8},
        Case{65, "2.5.5.16", "Large Integer", 10, 9},
        Case{66, "2.5.5.15", "NT Security Descriptor", 25, 9},
        Case{127, "2.5.5.14", "Access Point Distinguished Name", 1, 8},
        Case{127, "2.5.5.1", "Distinguished Name", 1, 8},
        Case{127, "2.5.5.17", "Distinguished Name with Binary", 27, 9},
        Case{127, "2.5.5.7", "OR Name", 3, 8}, Case{127, "2.5.5.13", "Presentation Address", 3, 8},
        Case{127, "2.5.5.10", "Replica Link", 8, 12}));

TEST(SyntaxTableTest, UnknownOmSyntaxIsNotFound) {
  AttributeSyntax syntax;
  EXPECT_FALSE(LookUpSyntax(8, "2.5.5.9", &syntax));
  EXPECT_FALSE(LookUpSyntax(127, "2.5.5.99", &syntax));
}

TEST(SyntaxTableTest, AttributeSyntaxIsComparedAsExactText) {
  AttributeSyntax syntax;
  EXPECT_FALSE(LookUpSyntax(127, "2.5.5.1 ", &syntax));
}

TEST(AdsTypeNameTest, NamesOfTheTypeList) {
  EXPECT_EQ(AdsTypeName(0), "Invalid");
  EXPECT_EQ(AdsTypeName(4), "Printable String");
  EXPECT_EQ(AdsTypeName(8), "Octet String");
  EXPECT_EQ(AdsTypeName(25), "NT Security Descriptor");
  EXPECT_EQ(AdsTypeName(26), "Unknown");
  EXPECT_EQ(AdsTypeName(28), "DN with String");
  EXPECT_EQ(AdsTypeName(29), "Unknown");
  EXPECT_EQ(AdsTypeName(-1), "Unknown");
}

}  // namespace
}  // namespace tessary
