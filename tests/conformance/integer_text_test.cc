// The one reading of decimal integers that both backends and the import share.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "directory/ds/integer_text.h"

namespace tessary::ds {
namespace {

TEST(IntegerTextTest, WholeNumbersWithTheirSignAndAllSixtyFourBits) {
  std::int64_t number = 0;
  ASSERT_TRUE(ParseInteger("9223372036854775807", &number));
  EXPECT_EQ(number, std::numeric_limits<std::int64_t>::max());
  ASSERT_TRUE(ParseInteger("-9223372036854775808", &number));
  EXPECT_EQ(number, std::numeric_limits<std::int64_t>::min());
  ASSERT_TRUE(ParseInteger("+42", &number));
  EXPECT_EQ(number, 42);
  ASSERT_TRUE(ParseInteger("-0", &number));
  EXPECT_EQ(number, 0);
}

TEST(IntegerTextTest, AnythingElseIsRefusedAndLeavesTheNumberAlone) {
  for (const char* text : {"", "+", "-", "+-1", "++1", "12abc", " 1", "1 ", "1.0", "0x10",
                           "9223372036854775808", "-9223372036854775809"}) {
    std::int64_t number = 7;
    EXPECT_FALSE(ParseInteger(text, &number)) << text;
    EXPECT_EQ(number, 7) << text;
  }
}

TEST(IntegerTextTest, ThirtyTwoBitSyntaxTakesSignedAndUnsignedForms) {
  std::int32_t number = 0;
  ASSERT_TRUE(ParseInteger32("4294967295", &number));
  EXPECT_EQ(number, -1);
  ASSERT_TRUE(ParseInteger32("2147483648", &number));
  EXPECT_EQ(number, std::numeric_limits<std::int32_t>::min());
  ASSERT_TRUE(ParseInteger32("-2147483648", &number));
  EXPECT_EQ(number, std::numeric_limits<std::int32_t>::min());
  EXPECT_FALSE(ParseInteger32("4294967296", &number));
  EXPECT_FALSE(ParseInteger32("-2147483649", &number));
  EXPECT_FALSE(ParseInteger32("12abc", &number));
}

}  // namespace
}  // namespace tessary::ds
