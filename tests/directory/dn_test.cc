#include "directory/dn.h"
#include "directory/ds/dn.h"

#include <gtest/gtest.h>

#include "support/bvk_error.h"

namespace tessary {
namespace {

std::string Normalized(std::string path) {
  NormalizeDN(path);
  return path;
}

TEST(NormalizeDNTest, KeepsAnExistingEscapeWithoutDoublingIt) {
  EXPECT_EQ(Normalized("cn=Smith\\, John,ou=Sales,dc=x,dc=com"),
            "CN=Smith\\, John,OU=Sales,DC=x,DC=com");
}

TEST(NormalizeDNTest, EscapesSpecialCharactersInsideNames) {
  EXPECT_EQ(Normalized("CN=a/b,DC=x"), "CN=a\\/b,DC=x");
  EXPECT_EQ(Normalized("CN=a+b;c<d>e\"f#g,DC=x"), "CN=a\\+b\\;c\\<d\\>e\\\"f\\#g,DC=x");
  EXPECT_EQ(Normalized("CN=back\\slash,DC=x"), "CN=back\\\\slash,DC=x");
}

TEST(NormalizeDNTest, LeavesX500AndGuidPathsUnchanged) {
  EXPECT_EQ(Normalized("/o=Org/ou=Site/cn=Recipients"), "/o=Org/ou=Site/cn=Recipients");
  EXPECT_EQ(Normalized("/O=Org/ou=x"), "/O=Org/ou=x");
  EXPECT_EQ(Normalized("<GUID=6f9619ff8b86d011b42d00c04fc964ff>"),
            "<GUID=6f9619ff8b86d011b42d00c04fc964ff>");
}

TEST(NormalizeDNTest, PathWithoutKnownPrefixOnlyHasItsPrefixesUpperCased) {
  EXPECT_EQ(Normalized("RootDSE"), "RootDSE");
  EXPECT_EQ(Normalized("o=x,cn=a/b"), "o=x,CN=a/b");
}

TEST(NormalizeDNTest, CommaBeforeCnIsAlwaysASeparator) {
  EXPECT_EQ(Normalized("CN=a\\,CN=b,DC=x"), "CN=a,CN=b,DC=x");
}

TEST(NormalizeDNTest, OtherAttributeTypesKeepTheirEqualsEscaped) {
  EXPECT_EQ(Normalized("CN=a,O=b"), "CN=a\\,O\\=b");
}

TEST(NormalizeDNTest, BareCommaNotBeforeANamingTypeBelongsToTheName) {
  EXPECT_EQ(Normalized("CN=Smith, John,OU=Sales,DC=x"), "CN=Smith\\, John,OU=Sales,DC=x");
}

TEST(NormalizeDNTest, NamingTypeTextInsideANameIsLeftAlone) {
  EXPECT_EQ(Normalized("CN=xcn=y,DC=x"), "CN=xcn\\=y,DC=x");
}

TEST(NormalizeDNTest, KeepsHexEscapesAndEscapedBlanks) {
  EXPECT_EQ(Normalized("CN=a\\2Cb,DC=x"), "CN=a\\2Cb,DC=x");
  EXPECT_EQ(Normalized("CN=\\ lead,DC=x"), "CN=\\ lead,DC=x");
}

TEST(NormalizeDNTest, LoneBackslashIsEscaped) { EXPECT_EQ(Normalized("CN=a\\"), "CN=a\\\\"); }

TEST(NormalizeDNTest, IsIdempotent) {
  std::string once = Normalized("cn=Smith\\, John/x,ou=Sales,dc=x");
  EXPECT_EQ(Normalized(once), once);
}

TEST(SplitDNTest, GivesParentAndRdnValue) {
  CBVKError error;
  std::string parent, value;
  ASSERT_TRUE(SplitDN("CN=John,OU=Sales,DC=x", &parent, &value, error));
  EXPECT_EQ(value, "John");
  EXPECT_EQ(parent, "OU=Sales,DC=x");
}

TEST(SplitDNTest, PrefersCnSeparatorAndAcceptsLowerCase) {
  CBVKError error;
  std::string parent, value;
  ASSERT_TRUE(SplitDN("OU=a,ou=b,cn=c,DC=x", &parent, &value, error));
  EXPECT_EQ(value, "a,OU=b");
  EXPECT_EQ(parent, "CN=c,DC=x");
}

TEST(SplitDNTest, DomainOnlyDNIsNotValid) {
  CBVKError error;
  std::string parent, value;
  EXPECT_FALSE(SplitDN("DC=x,DC=y", &parent, &value, error));
  EXPECT_EQ(error.GetText(), "The distinguished name 'DC=x,DC=y' does not appear to be valid.");
}

TEST(DomainNameTest, DottedNameOfDomainDN) {
  EXPECT_EQ(DNToDomainName("DC=a,DC=b"), "a.b");
  EXPECT_EQ(DNToDomainName("DC=corp,DC=example,DC=com"), "corp.example.com");
}

TEST(GuidDigitsTest, LowerCaseWithoutSeparators) {
  EXPECT_EQ(GuidDigits("{6F9619FF-8B86-D011-B42D-00C04FC964FF}"),
            "6f9619ff8b86d011b42d00c04fc964ff");
}

TEST(FilterEscapeTest, SpecialCharactersCannotChangeTheFilter) {
  EXPECT_EQ(ds::EscapeFilterValue("cn"), "cn");
  EXPECT_EQ(ds::EscapeFilterValue("a)(objectClass=*"), "a\\29\\28objectClass=\\2a");
  EXPECT_EQ(ds::EscapeFilterValue("x\\y"), "x\\5cy");
  EXPECT_EQ(ds::EscapeFilterValue(std::string("a\0b", 3)), "a\\00b");
  EXPECT_EQ(EqualityFilter("lDAPDisplayName", "*"), "(lDAPDisplayName=\\2a)");
}

}  // namespace
}  // namespace tessary
