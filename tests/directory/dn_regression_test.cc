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

}  // namespace
}  // namespace tessary
