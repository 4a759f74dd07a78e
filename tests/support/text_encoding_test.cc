#include "support/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "support/unicode_fold.h"

namespace tessary {
namespace {

std::string Decode(const std::string& bytes, TextEncoding expected) {
  TextEncoding used = TextEncoding::kUtf8;
  std::string text = DecodeText(bytes, &used);
  EXPECT_EQ(used, expected) << TextEncodingName(used);
  EXPECT_TRUE(IsValidUtf8(text));
  return text;
}

TEST(TextEncodingTest, EveryFormASpreadsheetSavesGivesTheSameUtf8) {
  const std::string mueller = "M\xC3\xBCller";
  EXPECT_EQ(Decode("M\xC3\xBCller", TextEncoding::kUtf8), mueller);
  EXPECT_EQ(Decode("\xEF\xBB\xBFM\xC3\xBCller", TextEncoding::kUtf8ByteOrderMark), mueller);
  EXPECT_EQ(
      Decode(std::string("\xFF\xFEM\0\xFC\0l\0l\0e\0r\0", 14), TextEncoding::kUtf16LittleEndian),
      mueller);
  EXPECT_EQ(Decode(std::string("\xFE\xFF\0M\0\xFC\0l\0l\0e\0r", 14), TextEncoding::kUtf16BigEndian),
            mueller);
  EXPECT_EQ(Decode("M\xFCller", TextEncoding::kWindows1252), mueller);
}

TEST(TextEncodingTest, CodePageCharactersAboveLatin1AndUnassignedBytes) {
  // Euro sign, typographic quotes and the unassigned 0x81.
  EXPECT_EQ(Decode("\x80 \x93x\x94 \x81", TextEncoding::kWindows1252),
            "\xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D \xC2\x81");
}

TEST(TextEncodingTest, Utf16SurrogatePairsAndBrokenUnits) {
  // U+1F600 as a pair, then a lone high surrogate and half a unit at the end.
  EXPECT_EQ(Decode(std::string("\xFF\xFE\x3D\xD8\x00\xDE\x3D\xD8"
                               "a\0"
                               "b",
                               11),
                   TextEncoding::kUtf16LittleEndian),
            "\xF0\x9F\x98\x80\xEF\xBF\xBD"
            "a\xEF\xBF\xBD");
}

TEST(TextEncodingTest, MalformedUtf8IsReadAsTheCodePage) {
  EXPECT_FALSE(IsValidUtf8("\xC3("));
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong "/"
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_FALSE(IsValidUtf8("\xE2\x82"));          // cut short
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80 \xE2\x82\xAC"));
  EXPECT_EQ(Decode("\xEF\xBB\xBFJ\xF6rg", TextEncoding::kWindows1252), "J\xC3\xB6rg");
}

TEST(TextEncodingTest, CharactersAreCountedNotBytes) {
  EXPECT_EQ(Utf8CharacterCount("j\xC3\xB6rgm\xC3\xBCllerschmidt12"), 19u);
  EXPECT_EQ(Utf8CharacterCount("\xE2\x82\xAC\xF0\x9F\x98\x80"), 2u);
  EXPECT_EQ(Utf8CharacterCount(""), 0u);
}

}  // namespace
}  // namespace tessary
