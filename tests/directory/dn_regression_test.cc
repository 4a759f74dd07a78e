// Inputs found by dn_fuzz (fuzz/dn_fuzz.cc) on which NormalizeDN changes which object a DN names.
#include <gtest/gtest.h>

#include <string>

#include "directory/dn.h"
#include "directory/ds/dn.h"

namespace tessary {
namespace {

std::string Normalized(std::string path) {
  NormalizeDN(path);
  return path;
}

TEST(NormalizeDNRegression, KeepsAnEscapedBackslashThatEndsAName) {
  // The name "a\" written with its escape; dropping the backslash names another object.
  EXPECT_EQ(Normalized("CN=a\\\\,DC=x"), "CN=a\\\\,DC=x");
}

TEST(NormalizeDNRegression, IsIdempotentOnEscapedBackslashesBeforeASeparator) {
  const std::string once = Normalized("CN=a\\\\\\\\,DC=x");  // the name "a\\"
  EXPECT_EQ(once, "CN=a\\\\\\\\,DC=x");
  EXPECT_EQ(Normalized(once), once);
}

TEST(NormalizeDNRegression, KeepsAnEscapedBackslashBeforeASpecialCharacter) {
  // The name a\#b: its backslash escaped, its '#' (not leading) left bare.
  EXPECT_EQ(Normalized("CN=a\\\\#b,DC=x"), "CN=a\\\\\\#b,DC=x");
}

TEST(NormalizeDNRegression, MixedCaseNamingTypesStaySeparators) {
  // Types are case-insensitive; "Ou=" must not become text of the name before it.
  EXPECT_EQ(Normalized("CN=x,Ou=Sales,DC=y"), "CN=x,OU=Sales,DC=y");
}

TEST(NormalizeDNRegression, KeepsTheHexEscapeOfADeletedObjectsName) {
  // Deleted objects come back from the directory named "<name>\0ADEL:<guid>".
  const std::string dn = "CN=x\\0ADEL:6f9619ff-8b86-d011-b42d-00c04fc964ff,CN=Deleted Objects,DC=x";
  EXPECT_EQ(ds::DnKey(Normalized(dn)), ds::DnKey(dn));
}

TEST(NormalizeDNRegression, BlanksAroundANamingTypeKeepItASeparator) {
  // The reader takes "cn =" as a naming type; reading it as text of the name before it named
  // another object, and the fuzz target stopped on this input.
  const std::string found = "CN=,cn =";
  const std::string once = Normalized(found);
  EXPECT_EQ(once, "CN=,CN=");
  EXPECT_EQ(Normalized(once), once);
  EXPECT_EQ(ds::DnKey(once), ds::DnKey(found));
  // As people write DNs by hand.
  const std::string typed = "CN=Ann Lee, OU = Sales , dc=example, DC =com";
  // Blanks of a value are the reader's to drop; the types lose theirs.
  EXPECT_EQ(Normalized(typed), "CN=Ann Lee,OU= Sales ,DC=example,DC=com");
  EXPECT_EQ(ds::DnKey(Normalized(typed)), ds::DnKey(typed));
  // A comma before a word that is no naming type stays part of the name.
  EXPECT_EQ(Normalized("CN=Lee, Ann,OU=x,DC=y"), "CN=Lee\\, Ann,OU=x,DC=y");
}

}  // namespace
}  // namespace tessary
