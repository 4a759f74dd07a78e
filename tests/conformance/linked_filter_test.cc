// Filters over DN-valued and linked attributes: nested membership and chains of managers followed
// in one item, DN assertions by GUID, and the rules a search refuses instead of matching nothing.

#include "fixture.h"

namespace tessary::testing {
namespace {

using namespace ds;  // the directory failure codes

constexpr char kInChain[] = "1.2.840.113556.1.4.1941";

// Outer holds Inner and Bob; Inner holds Ann. Ann's manager is Bob, whose manager is Cleo.
class LinkedFilterTest : public ConformanceTest {
 protected:
  void SetUp() override {
    ConformanceTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_HR(S_OK, MakeUser(ou(), "Cleo", "chainCleo"));
    ASSERT_HR(S_OK, Make(ou(), "user", "CN=Bob",
                         {{"sAMAccountName", "chainBob"}, {"manager", Dn("Cleo")}}));
    ASSERT_HR(S_OK, Make(ou(), "user", "CN=Ann",
                         {{"sAMAccountName", "chainAnn"}, {"manager", Dn("Bob")}}));
    ASSERT_HR(S_OK, Make(ou(), "group", "CN=Inner", {{"sAMAccountName", "chainInner"}}));
    ASSERT_HR(S_OK, Make(ou(), "group", "CN=Outer", {{"sAMAccountName", "chainOuter"}}));
    ASSERT_HR(S_OK, Bind(Dn("Inner"))->Add("LDAP://" + Dn("Ann")));
    std::unique_ptr<Object> outer = Bind(Dn("Outer"));
    ASSERT_HR(S_OK, outer->Add("LDAP://" + Dn("Inner")));
    ASSERT_HR(S_OK, outer->Add("LDAP://" + Dn("Bob")));
  }

  std::string Dn(const std::string& cn) const { return "CN=" + cn + "," + ou(); }
  std::string InChain(const std::string& attribute, const std::string& cn) const {
    return "(" + attribute + ":" + kInChain + ":=" + Dn(cn) + ")";
  }
  // The failure of a search, whether the backend reports it when the search starts or at its
  // first row.
  HRESULT SearchFailure(const std::string& filter) {
    std::unique_ptr<Object> base = Bind(ou());
    SearchRequest request;
    request.filter = filter;
    std::unique_ptr<SearchCursor> cursor;
    HRESULT hr = base->ExecuteSearch(request, &cursor);
    return Succeeded(hr) ? cursor->GetFirstRow() : hr;
  }

  using Names_ = std::vector<std::string>;
};

TEST_F(LinkedFilterTest, InChainFollowsNestedGroupsBothWays) {
  EXPECT_EQ((Names_{"Inner", "Outer"}), Names(InChain("member", "Ann")));
  EXPECT_EQ((Names_{"Inner"}), Names("(member=" + Dn("Ann") + ")"));
  EXPECT_EQ((Names_{"Ann", "Bob", "Inner"}), Names(InChain("memberOf", "Outer")));
  EXPECT_EQ((Names_{"Bob", "Inner"}), Names("(memberOf=" + Dn("Outer") + ")"));
  EXPECT_EQ((Names_{"Ann", "Bob"}),
            Names("(&(objectCategory=person)" + InChain("memberOf", "Outer") + ")"));
  EXPECT_EQ(Names_{}, Names(InChain("member", "Cleo")));
}

TEST_F(LinkedFilterTest, InChainFollowsOtherLinkedAttributes) {
  EXPECT_EQ((Names_{"Ann", "Bob"}), Names(InChain("manager", "Cleo")));
  EXPECT_EQ((Names_{"Bob", "Cleo"}), Names(InChain("directReports", "Ann")));
  EXPECT_EQ((Names_{"Bob"}), Names("(manager=" + Dn("Cleo") + ")"));
}

TEST_F(LinkedFilterTest, InChainEndsOnALoop) {
  ASSERT_HR(S_OK, Bind(Dn("Inner"))->Add("LDAP://" + Dn("Outer")));
  EXPECT_EQ((Names_{"Inner", "Outer"}), Names(InChain("member", "Ann")));
  EXPECT_EQ((Names_{"Ann", "Bob", "Inner", "Outer"}), Names(InChain("memberOf", "Outer")));
}

TEST_F(LinkedFilterTest, DnValuesTakePresenceAndEquality) {
  EXPECT_EQ((Names_{"Ann", "Bob"}), Names("(manager=*)"));
  EXPECT_EQ((Names_{"Bob", "Cleo"}), Names("(directReports=*)"));
  EXPECT_EQ((Names_{"Inner", "Outer"}), Names("(member=*)"));
  EXPECT_EQ((Names_{"Bob"}), Names("(manager=cn=cleo, " + ou() + ")"));
  EXPECT_EQ(Names_{}, Names("(manager=CN=Nobody," + ou() + ")"));
  EXPECT_EQ((Names_{"Cleo"}), Names("(&(objectCategory=person)(!(memberOf=*)))"));
}

TEST_F(LinkedFilterTest, ADnAssertionMayNameItsObjectByGuid) {
  std::string guid;
  ASSERT_HR(S_OK, Bind(Dn("Ann"))->GetGuid(&guid));
  ASSERT_EQ(32u, guid.size());
  // The text form: the first three fields as numbers, so their bytes reversed.
  std::string text;
  for (int i : {6, 4, 2, 0}) text += guid.substr(i, 2);
  text += "-" + guid.substr(10, 2) + guid.substr(8, 2) + "-" + guid.substr(14, 2) +
          guid.substr(12, 2) + "-" + guid.substr(16, 4) + "-" + guid.substr(20);
  EXPECT_EQ((Names_{"Inner"}), Names("(member=<GUID=" + text + ">)"));
  EXPECT_EQ((Names_{"Inner", "Outer"}),
            Names(std::string("(member:") + kInChain + ":=<GUID=" + text + ">)"));
}

// Windows AD has no substring or ordering match for DN syntax, so such an item matches nothing;
// Samba compares the DN strings.
TEST_F(LinkedFilterTest, DnValuesMatchNoSubstringsOrOrdering) {
  if (!embedded()) GTEST_SKIP() << "Samba matches substrings of DN values";
  EXPECT_EQ(Names_{}, Names("(manager=CN=Cle*)"));
  EXPECT_EQ(Names_{}, Names("(memberOf=CN=Out*)"));
  EXPECT_EQ(Names_{}, Names("(manager>=CN=A)"));
}

// Windows AD refuses a rule it does not know with "inappropriate matching"; Samba answers an
// unknown rule with no rows and resolves ambiguous names, which this directory does not.
TEST_F(LinkedFilterTest, AnUnsupportedRuleFailsTheSearch) {
  if (!embedded()) GTEST_SKIP() << "Samba matches nothing for an unknown rule and answers ANR";
  EXPECT_HR(E_DS_INAPPROPRIATE_MATCHING, SearchFailure("(cn:1.2.3.4:=Ann)"));
  EXPECT_HR(E_DS_INAPPROPRIATE_MATCHING, SearchFailure("(anr=Ann)"));
  EXPECT_HR(E_DS_INAPPROPRIATE_MATCHING,
            SearchFailure("(|(cn=Ann)(member:1.2.840.113556.1.4.1942:=" + Dn("Ann") + "))"));
  EXPECT_HR(S_OK, SearchFailure(InChain("member", "Ann")));
}

}  // namespace
}  // namespace tessary::testing
