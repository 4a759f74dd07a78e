#include "directory/schema_cache.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

TEST(SchemaCacheTest, ReadsThreeFieldsPerLineInOrder) {
  auto entries = ParseSchemaCache(
      {"Common-Name$$$cn$$$CN=Common-Name,CN=Schema,DC=x", "User$$$user$$$CN=User,CN=Schema,DC=x"});
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), 2u);
  EXPECT_EQ((*entries)[0],
            (SchemaCacheEntry{"Common-Name", "cn", "CN=Common-Name,CN=Schema,DC=x"}));
  EXPECT_EQ((*entries)[1].ldap_display_name, "user");
}

TEST(SchemaCacheTest, EmptyFileMustBeRebuilt) { EXPECT_FALSE(ParseSchemaCache({})); }

TEST(SchemaCacheTest, ALineOfTwoOrFourFieldsInvalidatesTheFile) {
  EXPECT_FALSE(ParseSchemaCache({"a$$$b$$$c", "a$$$b"}));
  EXPECT_FALSE(ParseSchemaCache({"a$$$b$$$c$$$d"}));
  EXPECT_FALSE(ParseSchemaCache({""}));
}

TEST(SchemaCacheTest, EmptyFieldsAreKept) {
  auto entries = ParseSchemaCache({"$$$x$$$"});
  ASSERT_TRUE(entries);
  EXPECT_EQ((*entries)[0], (SchemaCacheEntry{"", "x", ""}));
}

TEST(SchemaCacheTest, FormatWritesWhatParseReads) {
  std::vector<SchemaCacheEntry> entries = {{"A", "a", "CN=A,DC=x"}, {"B", "b", "CN=B,DC=x"}};
  auto lines = FormatSchemaCache(entries);
  EXPECT_EQ(lines[0], "A$$$a$$$CN=A,DC=x");
  EXPECT_EQ(ParseSchemaCache(lines), entries);
}

}  // namespace
}  // namespace tessary
