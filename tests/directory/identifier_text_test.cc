#include "directory/identifier_text.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

const std::vector<std::uint8_t> kDomainUserSid = {
    1,    5,    0,    0,    0, 0, 0, 5,  // revision 1, 5 sub-authorities, authority 5
    21,   0,    0,    0,                 // 21
    0x15, 0xCD, 0x5B, 0x07,              // 123456789
    0xB1, 0x68, 0xDE, 0x3A,              // 987654321
    0x01, 0x00, 0x00, 0x00,              // 1
    0xE9, 0x03, 0x00, 0x00};             // 1001

TEST(SidTextTest, BinaryToText) {
  EXPECT_EQ(SidToText(kDomainUserSid), "S-1-5-21-123456789-987654321-1-1001");
  EXPECT_EQ(SidToText({1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}), "S-1-1-0");
}

TEST(SidTextTest, TextToBinaryRoundTrips) {
  EXPECT_EQ(TextToSid("S-1-5-21-123456789-987654321-1-1001"), kDomainUserSid);
  EXPECT_EQ(TextToSid("s-1-1-0"), (std::vector<std::uint8_t>{1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}));
}

TEST(SidTextTest, LargeAuthorityIsHexadecimal) {
  auto sid = TextToSid("S-1-0x123456789ABC-7");
  ASSERT_TRUE(sid);
  EXPECT_EQ(SidToText(*sid), "S-1-0x123456789ABC-7");
}

TEST(SidTextTest, RejectsMalformedText) {
  for (const char* bad : {"", "S-1", "X-1-5", "S-2-5-21", "S-1-5-", "S-1-5-abc", "S-1-5-4294967296",
                          "S-1-5-1-2-3-4-5-6-7-8-9-10-11-12-13-14-15-16", "S-1--5"}) {
    EXPECT_FALSE(TextToSid(bad)) << bad;
  }
}

TEST(SidTextTest, RejectsMalformedBinary) {
  EXPECT_FALSE(SidToText({}));
  EXPECT_FALSE(SidToText({1, 2, 0, 0, 0, 0, 0, 5, 21, 0, 0, 0}));  // count says 2, holds 1
  EXPECT_FALSE(SidToText({2, 0, 0, 0, 0, 0, 0, 5}));               // revision 2
}

TEST(GuidTextTest, StorageOrderLowerCaseGrouped) {
  std::vector<std::uint8_t> bytes = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                     0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
  EXPECT_EQ(GuidBytesToText(bytes), "{00112233-4455-6677-8899-aabbccddeeff}");
  bytes.pop_back();
  EXPECT_FALSE(GuidBytesToText(bytes));
}

}  // namespace
}  // namespace tessary
