// The names every backend shares: DNs, ADsPaths and the LDAP result codes as HRESULTs.

#include <gtest/gtest.h>

#include "directory/ds/ads_path.h"
#include "directory/ds/dn.h"
#include "directory/ds/ds_error.h"

namespace tessary::ds {
namespace {

TEST(DnTest, SplitsAndResolvesEscapes) {
  std::vector<Rdn> rdns;
  ASSERT_TRUE(ParseDn("CN=Smith\\, John,OU=Sales,DC=x,DC=com", &rdns));
  ASSERT_EQ(4u, rdns.size());
  EXPECT_EQ((Rdn{"CN", "Smith, John"}), rdns[0]);
  EXPECT_EQ((Rdn{"DC", "com"}), rdns[3]);
  ASSERT_TRUE(ParseDn("CN=a\\/b\\2Cc,DC=x", &rdns));
  EXPECT_EQ("a/b,c", rdns[0].value);
  ASSERT_TRUE(ParseDn("CN=OU=Sales,DC=x", &rdns));
  EXPECT_EQ("OU=Sales", rdns[0].value);
  ASSERT_TRUE(ParseDn("CN = spaced ,DC=x", &rdns));
  EXPECT_EQ((Rdn{"CN", "spaced"}), rdns[0]);
}

TEST(DnTest, RefusesWhatIsNotADn) {
  std::vector<Rdn> rdns;
  EXPECT_FALSE(ParseDn("", &rdns));
  EXPECT_FALSE(ParseDn("example.com", &rdns));
  EXPECT_FALSE(ParseDn("CN=a,", &rdns));
  EXPECT_FALSE(ParseDn("=a,DC=x", &rdns));
  EXPECT_FALSE(ParseDn("CN=a\\", &rdns));
  EXPECT_FALSE(ParseDn("CN=a+SN=b,DC=x", &rdns));
  EXPECT_FALSE(ParseDn("CN=a,*U=b,DC=x", &rdns));
  EXPECT_FALSE(ParseDn("1CN=a", &rdns));
  EXPECT_TRUE(ParseDn("2.5.4.3=a,DC=x", &rdns));
}

TEST(DnTest, WritesTheEscapesBack) {
  EXPECT_EQ("CN=Smith\\, John", FormatRdn({"CN", "Smith, John"}));
  EXPECT_EQ("CN=\\#1 \\=\\+\\<\\>\\;\\\"\\\\ x\\ ", FormatRdn({"CN", "#1 =+<>;\"\\ x "}));
  EXPECT_EQ("CN=a,DC=x", FormatDn({{"CN", "a"}, {"DC", "x"}}));
}

TEST(DnTest, KeysCompareWithoutCaseOrEscapeSpelling) {
  EXPECT_EQ(DnKey("CN=Ann\\2C Lee,DC=Example"), DnKey("cn=ann\\, lee,dc=example"));
  EXPECT_NE(DnKey("CN=Ann,DC=x"), DnKey("CN=Anne,DC=x"));
  EXPECT_EQ("", DnKey("not a dn"));
}

TEST(DnTest, NamesCompareWithoutAsciiCase) {
  EXPECT_TRUE(AsciiCaselessEqual("objectGUID", "OBJECTguid"));
  EXPECT_TRUE(AsciiCaselessEqual("", ""));
  EXPECT_FALSE(AsciiCaselessEqual("cn", "cn "));
  EXPECT_FALSE(AsciiCaselessEqual("sn", "sm"));
  // Only ASCII letters fold: '@' and '`' sit next to 'A' and 'a'.
  EXPECT_FALSE(AsciiCaselessEqual("@", "`"));
  EXPECT_FALSE(AsciiCaselessEqual("\xc3\x89", "\xc3\xa9"));
}

TEST(AdsPathTest, TellsEveryFormApart) {
  AdsPath path;
  ASSERT_EQ(S_OK, ParseAdsPath("LDAP://RootDSE", &path));
  EXPECT_EQ(AdsPath::Kind::kRootDse, path.kind);
  ASSERT_EQ(S_OK, ParseAdsPath("LDAP://CN=Users,DC=example,DC=com", &path));
  EXPECT_EQ(AdsPath::Kind::kDn, path.kind);
  EXPECT_EQ("CN=Users,DC=example,DC=com", path.value);
  ASSERT_EQ(S_OK, ParseAdsPath("LDAP://<GUID=6F9619FF8B86D011B42D00C04FC964FF>", &path));
  EXPECT_EQ(AdsPath::Kind::kGuid, path.kind);
  EXPECT_EQ("6f9619ff8b86d011b42d00c04fc964ff", path.value);
  ASSERT_EQ(S_OK, ParseAdsPath("LDAP://<GUID={6F9619FF-8B86-D011-B42D-00C04FC964FF}>", &path));
  EXPECT_EQ("6f9619ff8b86d011b42d00c04fc964ff", path.value);
  ASSERT_EQ(S_OK, ParseAdsPath("LDAP://schema/user", &path));
  EXPECT_EQ(AdsPath::Kind::kSchemaClass, path.kind);
  EXPECT_EQ("user", path.value);
  ASSERT_EQ(S_OK, ParseAdsPath("LDAP://Example.COM", &path));
  EXPECT_EQ(AdsPath::Kind::kDomainName, path.kind);
  EXPECT_EQ("example.com", path.value);
  EXPECT_EQ("LDAP://CN=x", AdsPathOfDn("CN=x"));
}

TEST(AdsPathTest, RefusesOtherPaths) {
  AdsPath path;
  for (const char* bad : {"CN=Users,DC=x", "WinNT://host", "LDAP://", "LDAP://<GUID=123>",
                          "LDAP://schema/", "LDAP://bad name", "LDAP://CN=a,"}) {
    EXPECT_EQ(E_ADS_BAD_PATHNAME, ParseAdsPath(bad, &path)) << bad;
  }
}

TEST(LdapResultTest, GivesTheHresultsOfTheErrorTables) {
  EXPECT_EQ(S_OK, HresultFromLdapResult(0));
  EXPECT_EQ(E_DS_NO_SUCH_OBJECT, HresultFromLdapResult(32));
  EXPECT_EQ(E_DS_ALREADY_EXISTS, HresultFromLdapResult(68));
  EXPECT_EQ(MakeHresult(0x8007052E), HresultFromLdapResult(49));
  EXPECT_EQ(E_ACCESSDENIED, HresultFromLdapResult(50));
  EXPECT_EQ(E_DS_CONSTRAINT_VIOLATION, HresultFromLdapResult(19));
  EXPECT_EQ(E_DS_OBJ_CLASS_VIOLATION, HresultFromLdapResult(65));
  EXPECT_EQ(E_DS_SERVER_DOWN, HresultFromLdapResult(81));
  EXPECT_EQ(MakeHresult(0x800700EA), HresultFromLdapResult(95));
  EXPECT_EQ(MakeHresult(0x80072095), HresultFromLdapResult(123));
}

}  // namespace
}  // namespace tessary::ds
