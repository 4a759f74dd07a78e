#include "support/unicode_fold.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

TEST(UnicodeFoldTest, FoldsEveryScriptNotOnlyAscii) {
  EXPECT_EQ(FoldCase("CN=Ärger,DC=Example"), "cn=ärger,dc=example");
  EXPECT_TRUE(EqualsFolded("Ärger", "äRGER"));
  EXPECT_TRUE(EqualsFolded("ΣΊΣΥΦΟΣ", "σίσυφος"));  // final sigma folds to sigma too
  EXPECT_TRUE(EqualsFolded("ПРИВЕТ", "привет"));
  EXPECT_TRUE(EqualsFolded("\xF0\x90\x90\x80", "\xF0\x90\x90\xA8"));  // Deseret, four bytes
  EXPECT_TRUE(EqualsFolded("K", "\xE2\x84\xAA"));  // the Kelvin sign folds to k
  EXPECT_FALSE(EqualsFolded("Ärger", "Arger"));
  EXPECT_FALSE(EqualsFolded("abc", "abcd"));
  EXPECT_FALSE(EqualsFolded("", "a"));
  EXPECT_TRUE(EqualsFolded("", ""));
  // Simple folding maps one character to one: the sharp s stays itself.
  EXPECT_EQ(FoldCase("Straße"), "straße");
  EXPECT_FALSE(EqualsFolded("Straße", "STRASSE"));
}

TEST(UnicodeFoldTest, ChecksUtf8AndLeavesInvalidBytesDistinct) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("plain"));
  EXPECT_TRUE(IsValidUtf8("Ärger \xF0\x9F\x98\x80"));
  EXPECT_FALSE(IsValidUtf8("\xC3"));              // cut short
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong '/'
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // a surrogate
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_FALSE(IsValidUtf8("Latin-1 \xC4rger"));
  EXPECT_EQ(FoldCase("A\xFF" "B"), "a\xFF" "b");
  EXPECT_FALSE(EqualsFolded("\xFF", "\xFE"));
  EXPECT_TRUE(EqualsFolded("\xFFX", "\xFFx"));
}

}  // namespace
}  // namespace tessary
