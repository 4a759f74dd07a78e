// The filter parser: RFC 4515 forms, escapes, and the reasons a filter is refused.

#include <gtest/gtest.h>

#include "directory/ds/embedded/filter.h"

namespace tessary::ds::embedded {
namespace {

using Kind = FilterNode::Kind;

FilterNode Parse(const std::string& text) {
  FilterNode node;
  std::string error;
  EXPECT_TRUE(ParseFilter(text, &node, &error)) << text << ": " << error;
  return node;
}

std::string Refusal(const std::string& text) {
  FilterNode node;
  std::string error;
  EXPECT_FALSE(ParseFilter(text, &node, &error)) << text;
  return error;
}

TEST(FilterParserTest, ReadsEveryItemForm) {
  EXPECT_EQ(Kind::kEquality, Parse("(cn=Ann)").kind);
  EXPECT_EQ(Kind::kPresent, Parse("(cn=*)").kind);
  EXPECT_EQ(Kind::kGreaterOrEqual, Parse("(uSNChanged>=10)").kind);
  EXPECT_EQ(Kind::kLessOrEqual, Parse("(uSNChanged<=10)").kind);
  EXPECT_EQ(Kind::kApproximate, Parse("(sn~=smith)").kind);
  FilterNode bits = Parse("(userAccountControl:1.2.840.113556.1.4.803:=2)");
  EXPECT_EQ(Kind::kExtensible, bits.kind);
  EXPECT_EQ("userAccountControl", bits.attribute);
  EXPECT_EQ("1.2.840.113556.1.4.803", bits.matching_rule);
  EXPECT_EQ("2", bits.value);
}

TEST(FilterParserTest, SplitsSubstringsAtUnescapedStars) {
  FilterNode node = Parse("(cn=a*b\\2a*c*)");
  EXPECT_EQ(Kind::kSubstrings, node.kind);
  EXPECT_EQ("a", node.initial);
  EXPECT_EQ((std::vector<std::string>{"b*", "c"}), node.any);
  EXPECT_EQ("", node.final);
}

TEST(FilterParserTest, ResolvesHexEscapes) {
  EXPECT_EQ("a(b)c\\", Parse("(cn=a\\28b\\29c\\5c)").value);
  EXPECT_EQ(std::string("\x01\xff", 2), Parse("(objectGUID=\\01\\FF)").value);
}

TEST(FilterParserTest, NestsAndOrNot) {
  FilterNode node = Parse("(&(objectCategory=person)(|(sn=a)(sn=b))(!(cn=c)))");
  ASSERT_EQ(Kind::kAnd, node.kind);
  ASSERT_EQ(3u, node.children.size());
  EXPECT_EQ(Kind::kOr, node.children[1].kind);
  EXPECT_EQ(2u, node.children[1].children.size());
  EXPECT_EQ(Kind::kNot, node.children[2].kind);
}

TEST(FilterParserTest, TakesAFilterWithoutOuterParentheses) {
  EXPECT_EQ("person", Parse("objectCategory=person").value);
  EXPECT_EQ(Kind::kPresent, Parse("").kind);
}

TEST(FilterParserTest, NamesWhatIsWrong) {
  EXPECT_EQ("a ')' is missing", Refusal("(&(cn=a)"));
  EXPECT_EQ("a ')' is missing", Refusal("(cn=a"));
  EXPECT_EQ("unexpected text after the end of the filter", Refusal("(cn=a))"));
  EXPECT_EQ("'!' takes exactly one filter", Refusal("(!(cn=a)(cn=b))"));
  EXPECT_EQ("the item 'cn' has no attribute and value", Refusal("(cn)"));
  EXPECT_EQ("'c n' is not an attribute name", Refusal("(c n=a)"));
  EXPECT_EQ("a '(' inside a value must be escaped", Refusal("(cn=a(b)"));
  EXPECT_EQ("a ')' is missing", Refusal("(cn=a\\)"));
  std::string deep;
  for (int i = 0; i < 100; ++i) deep += "(!";  // with the item, 101 levels
  deep += "(cn=a)" + std::string(100, ')');
  EXPECT_EQ("the filter nests more than 100 levels deep", Refusal(deep));
  EXPECT_EQ(Kind::kNot,
            Parse(deep.substr(2, deep.size() - 3)).kind);  // the backslash escapes the ')'
}

}  // namespace
}  // namespace tessary::ds::embedded
