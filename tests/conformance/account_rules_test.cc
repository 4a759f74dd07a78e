// The rules of accounts and groups: one account type in userAccountControl, sAMAccountType kept
// by the directory, valid kinds of group, the primary group, and the characters an account name
// may not hold.

#include "fixture.h"

namespace tessary::testing {
namespace {

using namespace ds;  // the directory failure codes

class AccountRulesTest : public ConformanceTest {
 protected:
  std::string Dn(const std::string& cn) const { return "CN=" + cn + "," + ou(); }
  HRESULT Change(const std::string& dn, const std::string& name, const Value& value) {
    std::unique_ptr<Object> object = Bind(dn);
    if (object == nullptr) return E_FAIL;
    HRESULT hr = object->Put(name, value);
    return Succeeded(hr) ? object->SetInfo() : hr;
  }
  HRESULT ChangeText(const std::string& dn, const std::string& name, const std::string& text) {
    return Change(dn, name, Value::String(text));
  }
  // The relative identifier that ends the object's SID.
  std::int64_t Rid(const std::string& dn) {
    std::vector<Attribute> attributes;
    std::unique_ptr<Object> object = Bind(dn);
    if (object == nullptr || Failed(object->GetObjectAttributes({"objectSid"}, &attributes)) ||
        attributes.empty() || attributes[0].values.empty() ||
        attributes[0].values[0].octets() == nullptr) {
      return 0;
    }
    const Bytes& sid = *attributes[0].values[0].octets();
    std::size_t n = sid.size();
    return sid[n - 4] | sid[n - 3] << 8 | sid[n - 2] << 16 |
           static_cast<std::int64_t>(sid[n - 1]) << 24;
  }
  std::string DomainUsers() const { return "CN=Domain Users,CN=Users," + domain_dn(); }
};

TEST_F(AccountRulesTest, AccountTypeFollowsUserAccountControlAndIsNotWritten) {
  ASSERT_HR(S_OK, MakeUser(ou(), "Plain", "rulesPlain"));
  EXPECT_EQ("546", Text(Dn("Plain"), "userAccountControl"));
  EXPECT_EQ("805306368", Text(Dn("Plain"), "sAMAccountType"));
  EXPECT_EQ("513", Text(Dn("Plain"), "primaryGroupID"));
  // No account type: a normal account.
  ASSERT_HR(S_OK, Make(ou(), "user", "CN=Untyped",
                       {{"sAMAccountName", "rulesUntyped"}, {"userAccountControl", "34"}}));
  EXPECT_EQ("546", Text(Dn("Untyped"), "userAccountControl"));
  // A workstation trust account: its account type and its default group follow.
  ASSERT_HR(S_OK, ChangeText(Dn("Plain"), "userAccountControl", "4130"));
  EXPECT_EQ("805306369", Text(Dn("Plain"), "sAMAccountType"));
  EXPECT_EQ("515", Text(Dn("Plain"), "primaryGroupID"));
  ASSERT_HR(S_OK, ChangeText(Dn("Plain"), "userAccountControl", "546"));
  EXPECT_EQ("805306368", Text(Dn("Plain"), "sAMAccountType"));
  EXPECT_EQ("513", Text(Dn("Plain"), "primaryGroupID"));

  EXPECT_HR(HresultFromLdapResult(80),
            Make(ou(), "user", "CN=Twice Typed",
                 {{"sAMAccountName", "rulesTwice"}, {"userAccountControl", "4642"}}));
  EXPECT_HR(HresultFromLdapResult(80), ChangeText(Dn("Plain"), "userAccountControl", "4642"));
  EXPECT_HR(E_DS_UNWILLING_TO_PERFORM, ChangeText(Dn("Plain"), "sAMAccountType", "805306369"));
  EXPECT_HR(E_DS_UNWILLING_TO_PERFORM,
            Make(ou(), "user", "CN=Typed",
                 {{"sAMAccountName", "rulesTyped"}, {"sAMAccountType", "805306368"}}));
  EXPECT_EQ("805306368", Text(Dn("Plain"), "sAMAccountType"));
}

TEST_F(AccountRulesTest, GroupTypeIsOneOfTheValidKinds) {
  const std::vector<std::pair<std::string, std::string>> valid = {
      {"2", "268435457"},           {"4", "536870913"},           {"8", "268435457"},
      {"-2147483646", "268435456"}, {"-2147483644", "536870912"}, {"-2147483640", "268435456"}};
  int n = 0;
  for (const auto& [type, account_type] : valid) {
    std::string cn = "Valid " + std::to_string(++n);
    ASSERT_HR(S_OK,
              Make(ou(), "group", "CN=" + cn,
                   {{"sAMAccountName", "rulesValid" + std::to_string(n)}, {"groupType", type}}))
        << type;
    EXPECT_EQ(account_type, Text(Dn(cn), "sAMAccountType")) << type;
  }
  for (const char* type : {"0", "1", "6", "16", "-2147483648", "-2147483643"}) {
    EXPECT_HR(E_DS_UNWILLING_TO_PERFORM,
              Make(ou(), "group", "CN=Invalid",
                   {{"sAMAccountName", "rulesInvalid"}, {"groupType", type}}))
        << type;
  }
  EXPECT_HR(E_DS_NO_SUCH_OBJECT, BindResult(Dn("Invalid")));
  EXPECT_HR(E_DS_UNWILLING_TO_PERFORM, ChangeText(Dn("Valid 4"), "groupType", "6"));
  ASSERT_HR(S_OK, ChangeText(Dn("Valid 4"), "groupType", "-2147483640"));
  EXPECT_EQ("268435456", Text(Dn("Valid 4"), "sAMAccountType"));
}

TEST_F(AccountRulesTest, ThePrimaryGroupIsAGroupTheAccountIsIn) {
  ASSERT_HR(S_OK, MakeUser(ou(), "Member", "rulesMember"));
  ASSERT_HR(S_OK, Make(ou(), "group", "CN=Team", {{"sAMAccountName", "rulesTeam"}}));
  ASSERT_HR(S_OK, Make(ou(), "group", "CN=Local",
                       {{"sAMAccountName", "rulesLocal"}, {"groupType", "-2147483644"}}));
  std::string member = Dn("Member");
  std::int64_t team = Rid(Dn("Team"));
  ASSERT_GT(team, 1000);
  EXPECT_HR(E_DS_UNWILLING_TO_PERFORM,
            Make(ou(), "user", "CN=Chosen",
                 {{"sAMAccountName", "rulesChosen"}, {"primaryGroupID", "512"}}));
  EXPECT_HR(E_DS_UNWILLING_TO_PERFORM, ChangeText(member, "primaryGroupID", "512"));
  EXPECT_HR(E_DS_UNWILLING_TO_PERFORM, ChangeText(member, "primaryGroupID", "99999"));
  EXPECT_HR(E_DS_UNWILLING_TO_PERFORM,
            ChangeText(member, "primaryGroupID", std::to_string(team)));  // not a member yet
  // Windows takes only a global or universal group as primary group; Samba takes a domain
  // local one too.
  if (embedded()) {
    ASSERT_HR(S_OK, Bind(Dn("Local"))->Add("LDAP://" + member));
    EXPECT_HR(E_DS_UNWILLING_TO_PERFORM,
              ChangeText(member, "primaryGroupID", std::to_string(Rid(Dn("Local")))));
  }
  ASSERT_HR(S_OK, Bind(Dn("Team"))->Add("LDAP://" + member));
  ASSERT_HR(S_OK, ChangeText(member, "primaryGroupID", std::to_string(team)));
  EXPECT_EQ(std::to_string(team), Text(member, "primaryGroupID"));
  // The primary group's membership is implied; the old primary group now names the account.
  EXPECT_EQ(std::vector<std::string>{}, Texts(Dn("Team"), "member"));
  bool is_member = false;
  ASSERT_HR(S_OK, Bind(DomainUsers())->IsMember("LDAP://" + member, &is_member));
  EXPECT_TRUE(is_member);
  ASSERT_HR(S_OK, ChangeText(member, "primaryGroupID", "513"));
  EXPECT_EQ((std::vector<std::string>{member}), Texts(Dn("Team"), "member"));
  ASSERT_HR(S_OK, Bind(DomainUsers())->IsMember("LDAP://" + member, &is_member));
  EXPECT_FALSE(is_member);
}

TEST_F(AccountRulesTest, AccountNamesHoldNoForbiddenCharacter) {
  int n = 0;
  for (char c : std::string("\"/\\[]:;|=,+*?<>")) {
    std::string name = "ab" + std::string(1, c) + "cd";
    EXPECT_HR(E_DS_CONSTRAINT_VIOLATION, MakeUser(ou(), "Bad " + std::to_string(++n), name))
        << name;
  }
  EXPECT_HR(E_DS_CONSTRAINT_VIOLATION, MakeUser(ou(), "Dot", "rulesdot."));
  EXPECT_HR(E_DS_CONSTRAINT_VIOLATION,
            Make(ou(), "group", "CN=Bracket", {{"sAMAccountName", "rules[x]"}}));
  ASSERT_HR(S_OK, MakeUser(ou(), "Good", "rules.good@x"));
  EXPECT_HR(E_DS_CONSTRAINT_VIOLATION, ChangeText(Dn("Good"), "sAMAccountName", "rules*good"));
  EXPECT_EQ("rules.good@x", Text(Dn("Good"), "sAMAccountName"));
}

// Windows refuses to enable an account that has no password unless PASSWD_NOTREQD allows it
// (0000052D); Samba enables it.
TEST_F(AccountRulesTest, AnAccountWithoutAPasswordIsNotEnabled) {
  if (!embedded()) GTEST_SKIP() << "Samba enables an account that has no password";
  EXPECT_HR(E_DS_UNWILLING_TO_PERFORM,
            Make(ou(), "user", "CN=Open",
                 {{"sAMAccountName", "rulesOpen"}, {"userAccountControl", "512"}}));
  ASSERT_HR(S_OK, MakeUser(ou(), "Later", "rulesLater"));
  std::string later = Dn("Later");
  EXPECT_HR(E_DS_UNWILLING_TO_PERFORM, ChangeText(later, "userAccountControl", "512"));
  std::unique_ptr<Object> user = Bind(later);
  ASSERT_HR(S_OK, user->PutAccountDisabled(false));  // keeps PASSWD_NOTREQD: allowed
  ASSERT_HR(S_OK, user->SetInfo());
  EXPECT_EQ("544", Text(later, "userAccountControl"));
  EXPECT_HR(E_DS_UNWILLING_TO_PERFORM, ChangeText(later, "userAccountControl", "512"));
  ASSERT_HR(S_OK, Bind(later)->SetPassword("Correct-Horse-7"));
  EXPECT_HR(S_OK, ChangeText(later, "userAccountControl", "512"));
  EXPECT_HR(S_OK, Make(ou(), "user", "CN=Machine",
                       {{"sAMAccountName", "rulesMachine$"}, {"userAccountControl", "4128"}}));
}

// Windows refuses flags it does not define; Samba keeps them.
TEST_F(AccountRulesTest, UnknownFlagsAreRefused) {
  if (!embedded()) GTEST_SKIP() << "Samba keeps undefined userAccountControl flags";
  ASSERT_HR(S_OK, MakeUser(ou(), "Flags", "rulesFlags"));
  for (const char* flags : {"550", "1570", "268435998"}) {
    EXPECT_HR(E_DS_UNWILLING_TO_PERFORM, ChangeText(Dn("Flags"), "userAccountControl", flags))
        << flags;
  }
  EXPECT_HR(S_OK, ChangeText(Dn("Flags"), "userAccountControl", "66082"));  // DONT_EXPIRE_PASSWD
}

}  // namespace
}  // namespace tessary::testing
