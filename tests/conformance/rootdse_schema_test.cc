// RootDSE and the schema as the directory classes read them.

#include <algorithm>

#include "fixture.h"

namespace tessary::testing {
namespace {

using RootDseTest = ConformanceTest;

std::string RootValue(ds::Directory& directory, const std::string& name) {
  std::unique_ptr<ds::Object> root;
  ds::Value value;
  if (Failed(directory.Bind("LDAP://RootDSE", &root)) || Failed(root->Get(name, &value)) ||
      value.string() == nullptr) {
    return "";
  }
  return *value.string();
}

TEST_F(RootDseTest, NamesTheFourNamingContexts) {
  EXPECT_EQ(domain_dn(), RootValue(directory(), "defaultNamingContext"));
  EXPECT_EQ(domain_dn(), RootValue(directory(), "rootDomainNamingContext"));
  EXPECT_EQ("CN=Configuration," + domain_dn(),
            RootValue(directory(), "configurationNamingContext"));
  EXPECT_EQ("CN=Schema,CN=Configuration," + domain_dn(),
            RootValue(directory(), "schemaNamingContext"));
  std::string host = RootValue(directory(), "dnsHostName");
  EXPECT_TRUE(host.ends_with("." + backend_->dns_name())) << host;
}

TEST_F(RootDseTest, AnAttributeItDoesNotHaveIsNotInTheCache) {
  std::unique_ptr<ds::Object> root;
  ASSERT_HR(S_OK, directory().Bind("LDAP://RootDSE", &root));
  ds::Value value;
  EXPECT_HR(E_ADS_PROPERTY_NOT_FOUND, root->Get("noSuchRootAttribute", &value));
}

TEST_F(RootDseTest, TheDomainBindsByItsDnsName) {
  std::unique_ptr<ds::Object> domain;
  ASSERT_HR(S_OK, directory().Bind("LDAP://" + backend_->dns_name(), &domain));
  std::string path;
  ASSERT_HR(S_OK, domain->GetAdsPath(&path));
  EXPECT_EQ("LDAP://" + domain_dn(), path);
  std::vector<std::string> domains;
  ASSERT_HR(S_OK, ds::EnumDomainNames(directory(), &domains));
  EXPECT_NE(std::find(domains.begin(), domains.end(), backend_->dns_name()), domains.end());
}

struct SchemaCase {
  const char* ldap_name;
  const char* admin_name;
  int om_syntax;
  const char* attribute_syntax;
  bool single_valued;
};

class SchemaAnswerTest : public ConformanceTest,
                         public ::testing::WithParamInterface<SchemaCase> {};

// The one-level search the schema code runs for an attribute's syntax.
TEST_P(SchemaAnswerTest, GivesTheSyntaxOfTheAttribute) {
  const SchemaCase& c = GetParam();
  std::vector<Row> rows;
  ASSERT_HR(S_OK, Search("CN=Schema,CN=Configuration," + domain_dn(),
                         std::string("(lDAPDisplayName=") + c.ldap_name + ")",
                         {"attributeSyntax", "oMSyntax", "isSingleValued", "adminDisplayName"},
                         ds::SearchScope::kOneLevel, 100, &rows));
  ASSERT_EQ(1u, rows.size());
  Row& row = rows.front();
  ASSERT_EQ(1u, row["omsyntax"].values.size());
  ASSERT_NE(nullptr, row["omsyntax"].values[0].integer());
  EXPECT_EQ(c.om_syntax, *row["omsyntax"].values[0].integer());
  EXPECT_EQ(ds::ADSTYPE_INTEGER, row["omsyntax"].type);
  ASSERT_NE(nullptr, row["attributesyntax"].values.at(0).string());
  EXPECT_EQ(c.attribute_syntax, *row["attributesyntax"].values[0].string());
  ASSERT_NE(nullptr, row["issinglevalued"].values.at(0).boolean());
  EXPECT_EQ(c.single_valued, *row["issinglevalued"].values[0].boolean());
  EXPECT_EQ(ds::ADSTYPE_BOOLEAN, row["issinglevalued"].type);
  ASSERT_NE(nullptr, row["admindisplayname"].values.at(0).string());
  EXPECT_EQ(c.admin_name, *row["admindisplayname"].values[0].string());
}

INSTANTIATE_TEST_SUITE_P(
    Attributes, SchemaAnswerTest,
    ::testing::Values(SchemaCase{"description", "Description", 64, "2.5.5.12", false},
                      SchemaCase{"userAccountControl", "User-Account-Control", 2, "2.5.5.9", true},
                      SchemaCase{"manager", "Manager", 127, "2.5.5.1", true},
                      SchemaCase{"accountExpires", "Account-Expires", 65, "2.5.5.16", true},
                      SchemaCase{"objectSid", "Object-Sid", 4, "2.5.5.17", true},
                      SchemaCase{"member", "Member", 127, "2.5.5.1", false},
                      SchemaCase{"whenCreated", "When-Created", 24, "2.5.5.11", true},
                      SchemaCase{"sAMAccountName", "SAM-Account-Name", 64, "2.5.5.12", true}),
    [](const auto& info) { return std::string(info.param.ldap_name); });

using SchemaTest = ConformanceTest;

TEST_F(SchemaTest, ClassEntriesAreFoundByTheirCategory) {
  std::string schema = "CN=Schema,CN=Configuration," + domain_dn();
  std::vector<Row> rows;
  ASSERT_HR(S_OK, Search(schema,
                         "(&(objectCategory=CN=Class-Schema," + schema + ")(lDAPDisplayName=user))",
                         {"lDAPDisplayName", "adminDisplayName", "distinguishedName"},
                         ds::SearchScope::kSubtree, 100, &rows));
  ASSERT_EQ(1u, rows.size());
  EXPECT_EQ("User", *rows[0]["admindisplayname"].values.at(0).string());
  EXPECT_EQ("CN=User," + schema, *rows[0]["distinguishedname"].values.at(0).string());
  EXPECT_EQ(ds::ADSTYPE_DN_STRING, rows[0]["distinguishedname"].type);
}

TEST_F(SchemaTest, ClassObjectsListMandatoryAndOptionalProperties) {
  std::unique_ptr<ds::Object> user;
  ASSERT_HR(S_OK, directory().Bind("LDAP://schema/user", &user));
  std::vector<std::string> mandatory, optional;
  ASSERT_HR(S_OK, user->GetMandatoryProperties(&mandatory));
  ASSERT_HR(S_OK, user->GetOptionalProperties(&optional));
  auto has = [](const std::vector<std::string>& list, const char* name) {
    return std::find(list.begin(), list.end(), name) != list.end();
  };
  EXPECT_TRUE(has(mandatory, "cn"));
  EXPECT_TRUE(has(mandatory, "objectClass"));
  EXPECT_TRUE(has(optional, "description"));
  EXPECT_TRUE(has(optional, "userAccountControl"));
  EXPECT_TRUE(has(optional, "manager"));
  EXPECT_FALSE(has(optional, "cn"));
  std::string class_name;
  ASSERT_HR(S_OK, user->GetClass(&class_name));
  EXPECT_EQ("Class", class_name);
}

TEST_F(SchemaTest, AnUnknownClassDoesNotBind) {
  std::unique_ptr<ds::Object> object;
  EXPECT_HR(E_DS_NO_SUCH_OBJECT, directory().Bind("LDAP://schema/noSuchClassAtAll", &object));
}

}  // namespace
}  // namespace tessary::testing
