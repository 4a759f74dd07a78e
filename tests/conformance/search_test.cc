// Searches: every filter form the program builds or a user may type, both scopes, and paging.

#include <algorithm>

#include "fixture.h"

namespace tessary::testing {
namespace {

using namespace ds;  // the directory failure codes

class SearchTest : public ConformanceTest {
 protected:
  void SetUp() override {
    ConformanceTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_HR(S_OK, Make(ou(), "organizationalUnit", "OU=Sales", {{"description", "sales team"}}));
    std::string sales = "OU=Sales," + ou();
    ASSERT_HR(S_OK, Make(ou(), "user", "CN=Alice Smith",
                         {{"sAMAccountName", "asmith"},
                          {"givenName", "Alice"},
                          {"sn", "Smith"},
                          {"description", "alpha"},
                          {"userAccountControl", "544"}}));
    ASSERT_HR(S_OK, Make(sales, "user", "CN=Bob Jones",
                         {{"sAMAccountName", "bjones"},
                          {"givenName", "Bob"},
                          {"sn", "Jones"},
                          {"userAccountControl", "514"}}));
    ASSERT_HR(S_OK, Make(sales, "contact", "CN=Carol Smithers",
                         {{"givenName", "Carol"}, {"sn", "Smithers"}, {"description", "beta"}}));
    ASSERT_HR(S_OK, Make(ou(), "group", "CN=Staff", {{"sAMAccountName", "staffgroup"}}));
    ASSERT_HR(S_OK, Make(ou(), "computer", "CN=WS01", {{"sAMAccountName", "WS01$"}}));
    std::unique_ptr<Object> staff = Bind("CN=Staff," + ou());
    ASSERT_HR(S_OK, staff->Add("LDAP://CN=Alice Smith," + ou()));
  }

  using Names_ = std::vector<std::string>;
};

TEST_F(SearchTest, EqualityIgnoresCase) {
  EXPECT_EQ(Names_{"Alice Smith"}, Names("(sn=smith)"));
  EXPECT_EQ(Names_{"Alice Smith"}, Names("(sAMAccountName=ASMITH)"));
}

TEST_F(SearchTest, PresenceFindsObjectsWithAValue) {
  EXPECT_EQ((Names_{"Alice Smith", "Carol Smithers", "Sales"}), Names("(description=*)"));
}

TEST_F(SearchTest, SubstringsMatchInitialAnyAndFinal) {
  EXPECT_EQ((Names_{"Alice Smith", "Carol Smithers"}), Names("(sn=Smith*)"));
  EXPECT_EQ((Names_{"Carol Smithers"}), Names("(sn=*thers)"));
  EXPECT_EQ((Names_{"Bob Jones", "Carol Smithers"}), Names("(cn=*o*)"));
  EXPECT_EQ((Names_{"Carol Smithers"}), Names("(cn=C*l*S*s)"));
}

TEST_F(SearchTest, OrderingComparesTextAndNumbers) {
  EXPECT_EQ((Names_{"Bob Jones"}), Names("(&(objectClass=user)(sn<=K))"));
  EXPECT_EQ((Names_{"Alice Smith", "Carol Smithers"}), Names("(sn>=L)"));
  EXPECT_EQ((Names_{"Bob Jones"}), Names("(&(objectCategory=person)(userAccountControl<=514))"));
  EXPECT_EQ((Names_{"Alice Smith", "WS01"}), Names("(userAccountControl>=515)"));
}

TEST_F(SearchTest, AndOrNotCombine) {
  EXPECT_EQ((Names_{"Alice Smith", "Bob Jones"}),
            Names("(&(objectCategory=person)(objectClass=user))"));
  EXPECT_EQ((Names_{"Bob Jones", "Carol Smithers"}), Names("(|(givenName=Bob)(givenName=Carol))"));
  EXPECT_EQ((Names_{"Carol Smithers"}), Names("(&(objectCategory=person)(!(objectClass=user)))"));
}

TEST_F(SearchTest, BitwiseMatchingRulesTestAccountFlags) {
  EXPECT_EQ((Names_{"Bob Jones"}),
            Names("(&(objectCategory=person)(userAccountControl:1.2.840.113556.1.4.803:=2))"));
  // A computer made without flags starts disabled.
  EXPECT_EQ((Names_{"Bob Jones", "WS01"}),
            Names("(userAccountControl:1.2.840.113556.1.4.803:=2)"));
  EXPECT_EQ((Names_{"WS01"}), Names("(userAccountControl:1.2.840.113556.1.4.803:=4096)"));
  EXPECT_EQ((Names_{"Alice Smith"}),
            Names("(&(objectClass=user)(!(userAccountControl:1.2.840.113556.1.4.803:=2)))"));
  EXPECT_EQ((Names_{"Alice Smith", "Bob Jones", "WS01"}),
            Names("(userAccountControl:1.2.840.113556.1.4.804:=4610)"));
}

TEST_F(SearchTest, ShortCategoryNamesStandForTheClassCategory) {
  // AD takes (objectCategory=user) as the user class's category, Person, so contacts match too.
  Names_ people = {"Alice Smith", "Bob Jones", "Carol Smithers"};
  EXPECT_EQ(people, Names("(objectCategory=person)"));
  EXPECT_EQ(people, Names("(objectCategory=user)"));
  EXPECT_EQ(people,
            Names("(objectCategory=CN=Person,CN=Schema,CN=Configuration," + domain_dn() + ")"));
  EXPECT_EQ((Names_{"WS01"}), Names("(objectCategory=computer)"));
  EXPECT_EQ((Names_{"Staff"}), Names("(objectCategory=group)"));
  EXPECT_EQ((Names_{"Sales"}),
            Names("(objectCategory=organizationalUnit)", SearchScope::kOneLevel));
}

TEST_F(SearchTest, TheContainerSearchOfTheWizardFindsContainersAndUnits) {
  std::vector<Row> rows;
  ASSERT_HR(S_OK, Search(ou(), "(|(objectCategory=container)(objectCategory=organizationalUnit))",
                         {"distinguishedName", "cn", "ou"}, SearchScope::kOneLevel, 100, &rows));
  ASSERT_EQ(1u, rows.size());
  EXPECT_EQ("OU=Sales," + ou(), *rows[0]["distinguishedname"].values.at(0).string());
  EXPECT_EQ(0u, rows[0].count("cn"));  // an OU has no cn: the wizard falls back to ou
  EXPECT_EQ("Sales", *rows[0]["ou"].values.at(0).string());
}

TEST_F(SearchTest, MemberOfFindsTheGroupsMembers) {
  EXPECT_EQ((Names_{"Alice Smith"}), Names("(memberOf=CN=Staff," + ou() + ")"));
  EXPECT_EQ(Names_{"CN=Staff," + ou()}, Texts("CN=Alice Smith," + ou(), "memberOf"));
}

TEST_F(SearchTest, OneLevelStaysInTheContainerAndSubtreeGoesDown) {
  EXPECT_EQ((Names_{"Alice Smith", "WS01"}), Names("(objectClass=user)", SearchScope::kOneLevel));
  EXPECT_EQ((Names_{"Alice Smith", "Bob Jones", "WS01"}),
            Names("(objectClass=user)", SearchScope::kSubtree));
}

TEST_F(SearchTest, ColumnsComeWithTheirAdsiTypes) {
  std::vector<Row> rows;
  ASSERT_HR(S_OK, Search(ou(), "(sAMAccountName=asmith)",
                         {"distinguishedName", "objectGUID", "objectSid", "whenCreated",
                          "userAccountControl", "cn", "objectClass", "noSuchColumn"},
                         SearchScope::kSubtree, 100, &rows));
  ASSERT_EQ(1u, rows.size());
  Row& row = rows[0];
  EXPECT_EQ(ADSTYPE_DN_STRING, row["distinguishedname"].type);
  EXPECT_EQ(ADSTYPE_OCTET_STRING, row["objectguid"].type);
  ASSERT_NE(nullptr, row["objectguid"].values.at(0).octets());
  EXPECT_EQ(16u, row["objectguid"].values[0].octets()->size());
  EXPECT_EQ(ADSTYPE_OCTET_STRING, row["objectsid"].type);
  EXPECT_EQ(ADSTYPE_UTC_TIME, row["whencreated"].type);
  EXPECT_EQ(ADSTYPE_INTEGER, row["useraccountcontrol"].type);
  EXPECT_EQ(ADSTYPE_CASE_IGNORE_STRING, row["cn"].type);
  EXPECT_EQ(4u, row["objectclass"].values.size());
  EXPECT_EQ(0u, row.count("nosuchcolumn"));
}

TEST_F(SearchTest, AMissingColumnIsNotSet) {
  std::unique_ptr<Object> base = Bind(ou());
  SearchRequest request;
  request.filter = "(sAMAccountName=asmith)";
  request.columns = {"cn", "mail"};
  std::unique_ptr<SearchCursor> cursor;
  ASSERT_HR(S_OK, base->ExecuteSearch(request, &cursor));
  ASSERT_HR(S_OK, cursor->GetFirstRow());
  Attribute column;
  EXPECT_HR(E_ADS_COLUMN_NOT_SET, cursor->GetColumn("mail", &column));
  std::string name;
  ASSERT_HR(S_OK, cursor->GetNextColumnName(&name));
  EXPECT_EQ("cn", name);
  EXPECT_HR(S_ADS_NOMORE_COLUMNS, cursor->GetNextColumnName(&name));
  EXPECT_HR(S_ADS_NOMORE_ROWS, cursor->GetNextRow());
}

TEST_F(SearchTest, NoMatchEndsAtTheFirstRow) {
  std::unique_ptr<Object> base = Bind(ou());
  SearchRequest request;
  request.filter = "(sn=Nobody)";
  std::unique_ptr<SearchCursor> cursor;
  ASSERT_HR(S_OK, base->ExecuteSearch(request, &cursor));
  EXPECT_HR(S_ADS_NOMORE_ROWS, cursor->GetFirstRow());
}

TEST_F(SearchTest, AFilterThatDoesNotParseFails) {
  std::unique_ptr<Object> base = Bind(ou());
  SearchRequest request;
  request.filter = "(&(sn=Smith)";
  std::unique_ptr<SearchCursor> cursor;
  HRESULT hr = base->ExecuteSearch(request, &cursor);
  if (Succeeded(hr)) hr = cursor->GetFirstRow();
  EXPECT_TRUE(hr == E_ADS_INVALID_FILTER || hr == E_DS_FILTER_UNKNOWN) << Hex(hr);
}

TEST_F(SearchTest, EscapedValuesMatchSpecialCharacters) {
  ASSERT_HR(S_OK, Make(ou(), "contact", "CN=Star \\* (Paren)", {{"description", "a*b(c)"}}));
  EXPECT_EQ((Names_{"Star * (Paren)"}), Names("(description=a\\2ab\\28c\\29)"));
  EXPECT_EQ((Names_{"Star * (Paren)"}), Names("(cn=Star \\2a*)"));
}

TEST_F(SearchTest, PagesAreWalkedToTheEnd) {
  ASSERT_HR(S_OK, Make(ou(), "organizationalUnit", "OU=Many"));
  std::string many = "OU=Many," + ou();
  for (int i = 0; i < 25; ++i) {
    ASSERT_HR(S_OK, Make(many, "contact", "CN=Contact " + std::to_string(i)));
  }
  std::vector<Row> rows;
  ASSERT_HR(S_OK,
            Search(many, "(objectCategory=person)", {"cn"}, SearchScope::kOneLevel, 10, &rows));
  EXPECT_EQ(25u, rows.size());
  std::vector<std::string> names;
  for (Row& row : rows) names.push_back(*row["cn"].values.at(0).string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names.end(), std::adjacent_find(names.begin(), names.end()));
  ASSERT_HR(S_OK, Search(many, "(cn=Contact 1*)", {"cn"}, SearchScope::kSubtree, 3, &rows));
  EXPECT_EQ(11u, rows.size());  // 1 and 10 to 19
}

}  // namespace
}  // namespace tessary::testing
