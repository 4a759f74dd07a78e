#include "import/split_values.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessary {
namespace {

using Values = std::vector<std::string>;

Values Split(const std::string& line, const std::string& separator = ",") {
  Values values;
  SplitValues(line, separator, values);
  return values;
}

TEST(SplitValuesTest, EmptyLineHasNoValues) { EXPECT_TRUE(Split("").empty()); }

TEST(SplitValuesTest, PlainFieldsSplitAtEveryComma) {
  EXPECT_EQ(Split("a,b,c"), (Values{"a", "b", "c"}));
}

TEST(SplitValuesTest, TrailingCommaGivesLastEmptyValue) {
  EXPECT_EQ(Split("a,b,"), (Values{"a", "b", ""}));
}

TEST(SplitValuesTest, EmptyFieldsStayInPlace) {
  EXPECT_EQ(Split(",,"), (Values{"", "", ""}));
  EXPECT_EQ(Split(",a"), (Values{"", "a"}));
}

TEST(SplitValuesTest, NothingIsTrimmed) { EXPECT_EQ(Split(" a , b "), (Values{" a ", " b "})); }

TEST(SplitValuesTest, QuotedMiddleFieldKeepsItsCommaAndLosesItsQuotes) {
  EXPECT_EQ(Split("x,\"a,b\",y"), (Values{"x", "a,b", "y"}));
}

TEST(SplitValuesTest, QuotedLastFieldWithCommaLosesItsQuotes) {
  EXPECT_EQ(Split("x,\"a,b\""), (Values{"x", "a,b"}));
}

TEST(SplitValuesTest, QuotedFieldLosesItsQuotesWhereverItStands) {
  EXPECT_EQ(Split("x,\"ab\""), (Values{"x", "ab"}));
  EXPECT_EQ(Split("\"plain quoted\""), (Values{"plain quoted"}));
  EXPECT_EQ(Split("\"a\",\"\",\"c\""), (Values{"a", "", "c"}));
}

TEST(SplitValuesTest, DoubledQuoteInsideQuotedFieldIsOneQuote) {
  EXPECT_EQ(Split("\"a \"\"b\"\" c\""), (Values{"a \"b\" c"}));
  EXPECT_EQ(Split("x,\"say \"\"hi, you\"\"\",y"), (Values{"x", "say \"hi, you\"", "y"}));
  EXPECT_EQ(Split("\"\"\"\""), (Values{"\""}));
}

TEST(SplitValuesTest, LineBreakInsideQuotedFieldBecomesCarriageReturnLineFeed) {
  EXPECT_EQ(Split("\"one\ntwo\",\"three\r\nfour\""), (Values{"one\r\ntwo", "three\r\nfour"}));
}

TEST(SplitValuesTest, QuotedFieldFollowedBySeparatorLosesItsQuotes) {
  EXPECT_EQ(Split("\"ab\",x"), (Values{"ab", "x"}));
}

TEST(SplitValuesTest, TextAfterClosingQuoteIsKeptAsWritten) {
  EXPECT_EQ(Split("\"ab\"cd,ef"), (Values{"abcd", "ef"}));
}

TEST(SplitValuesTest, OpeningQuoteWithoutClosingQuoteMakesOneValue) {
  EXPECT_EQ(Split("\"a,b,c"), (Values{"\"a,b,c"}));
}

TEST(SplitValuesTest, QuoteInsideUnquotedFieldIsAnOrdinaryCharacter) {
  EXPECT_EQ(Split("a\"b,c\""), (Values{"a\"b", "c\""}));
  EXPECT_EQ(Split("ab\",c"), (Values{"ab\"", "c"}));
  EXPECT_EQ(Split("x,a \"b\" c,y"), (Values{"x", "a \"b\" c", "y"}));
}

TEST(SplitValuesTest, PercentSeparatorGivesQuotesNoMeaning) {
  EXPECT_EQ(Split("\"a%b\"", "%"), (Values{"\"a", "b\""}));
  EXPECT_EQ(Split("a%b%", "%"), (Values{"a", "b", ""}));
}

TEST(SplitValuesTest, LongerSeparatorIsRemovedWhole) {
  EXPECT_EQ(Split("a$$$b$$$c", "$$$"), (Values{"a", "b", "c"}));
}

TEST(SplitValuesTest, AppendsToExistingList) {
  Values values{"kept"};
  SplitValues("a,b", ",", values);
  EXPECT_EQ(values, (Values{"kept", "a", "b"}));
}

TEST(SplitValuesTest, BytesThatAreNotUtf8PassThroughUnchanged) {
  EXPECT_EQ(Split("\xff\xfe,\xc3(,\x80"), (Values{"\xff\xfe", "\xc3(", "\x80"}));
}

TEST(SplitValuesTest, MegabyteLineSplits) {
  std::string big(1 << 20, 'x');
  EXPECT_EQ(Split(big + "," + big), (Values{big, big}));
}

TEST(JoinValuesTest, ValueWithCommaIsQuoted) {
  EXPECT_EQ(JoinValues({"a", "b,c", "d"}), "a,\"b,c\",d");
}

TEST(JoinValuesTest, EmptyListGivesEmptyText) { EXPECT_EQ(JoinValues({}), ""); }

TEST(JoinValuesTest, QuotesAndLineBreaksAreQuotedWithQuotesDoubled) {
  EXPECT_EQ(JoinValues({"say \"hi\"", ""}), "\"say \"\"hi\"\"\",");
  EXPECT_EQ(JoinValues({"one\r\ntwo"}), "\"one\r\ntwo\"");
}

TEST(JoinValuesTest, JoinedLineSplitsBackIntoTheSameValues) {
  const Values values{"CN=Smith\\, John,OU=Sales,DC=x",
                      "",
                      "plain",
                      "a,b",
                      "\"q\"",
                      "x\"",
                      "\"",
                      "a \"b\", c",
                      "line\r\nbreak"};
  EXPECT_EQ(Split(JoinValues(values)), values);
}

TEST(FileValueTextTest, QuotesCommaThenEscapesLineBreaks) {
  EXPECT_EQ(FileValueText("a,b\r\nc"), "\"a,b\\r\\nc\"");
  EXPECT_EQ(FileValueText("line\r\n"), "line\\r\\n");
  EXPECT_EQ(FileValueText("lone\rcr\nlf"), "lone\rcr\nlf");
}

TEST(FileValueTextTest, ValueWithQuoteIsQuotedWithItsQuotesDoubled) {
  EXPECT_EQ(FileValueText("a \"b\" c"), "\"a \"\"b\"\" c\"");
  EXPECT_EQ(FileValueText("\"x, y\"\r\n"), "\"\"\"x, y\"\"\\r\\n\"");
  EXPECT_EQ(Split(FileValueText("a \"b\" c") + "," + FileValueText("d")),
            (Values{"a \"b\" c", "d"}));
}

}  // namespace
}  // namespace tessary
