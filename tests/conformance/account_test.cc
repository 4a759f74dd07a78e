// Groups, their members read in ranges, users' passwords and account state, binding by GUID.

#include <algorithm>

#include "fixture.h"

namespace tessary::testing {
namespace {

using namespace ds;  // the directory failure codes

using GroupTest = ConformanceTest;

TEST_F(GroupTest, AddRemoveAndIsMember) {
  ASSERT_HR(S_OK, Make(ou(), "group", "CN=Team", {{"sAMAccountName", "team"}}));
  ASSERT_HR(S_OK, Make(ou(), "contact", "CN=Member"));
  std::string member = "LDAP://CN=Member," + ou();
  std::unique_ptr<Object> team = Bind("CN=Team," + ou());
  bool is_member = true;
  ASSERT_HR(S_OK, team->IsMember(member, &is_member));
  EXPECT_FALSE(is_member);
  ASSERT_HR(S_OK, team->Add(member));
  ASSERT_HR(S_OK, team->IsMember(member, &is_member));
  EXPECT_TRUE(is_member);
  EXPECT_HR(E_DS_ALREADY_EXISTS, team->Add(member));
  EXPECT_EQ((std::vector<std::string>{"CN=Member," + ou()}), Texts("CN=Team," + ou(), "member"));
  ASSERT_HR(S_OK, team->Remove(member));
  ASSERT_HR(S_OK, team->IsMember(member, &is_member));
  EXPECT_FALSE(is_member);
  EXPECT_TRUE(Failed(team->Remove(member)));
  EXPECT_HR(E_DS_NO_SUCH_OBJECT, team->Add("LDAP://CN=Nobody," + ou()));
}

TEST_F(GroupTest, AMemberThatIsRenamedStaysAMember) {
  ASSERT_HR(S_OK, Make(ou(), "group", "CN=Team", {{"sAMAccountName", "team2"}}));
  ASSERT_HR(S_OK, Make(ou(), "contact", "CN=Before"));
  std::unique_ptr<Object> team = Bind("CN=Team," + ou());
  ASSERT_HR(S_OK, team->Add("LDAP://CN=Before," + ou()));
  ASSERT_HR(S_OK, Bind(ou())->MoveHere("LDAP://CN=Before," + ou(), "CN=After", nullptr));
  EXPECT_EQ((std::vector<std::string>{"CN=After," + ou()}), Texts("CN=Team," + ou(), "member"));
}

TEST_F(GroupTest, AGroupInterfaceIsOnlyOnGroups) {
  ASSERT_HR(S_OK, Make(ou(), "contact", "CN=Plain"));
  std::unique_ptr<Object> plain = Bind("CN=Plain," + ou());
  EXPECT_HR(E_NOINTERFACE, plain->Add("LDAP://" + ou()));
  EXPECT_HR(E_NOINTERFACE, plain->SetPassword("Secret123!"));
}

// Windows AD refuses a member value on a user (the attribute is not in its classes); Samba
// takes it.
TEST_F(GroupTest, AMemberValueOnAUserIsAnObjectClassViolation) {
  if (!embedded()) GTEST_SKIP() << "Samba accepts a member value added to a user";
  ASSERT_HR(S_OK, MakeUser(ou(), "Not A Group", "notagroup"));
  ASSERT_HR(S_OK, Make(ou(), "contact", "CN=Someone"));
  std::unique_ptr<Object> user = Bind("CN=Not A Group," + ou());
  ASSERT_HR(S_OK, user->PutEx(ADS_PROPERTY_APPEND, "member",
                              {Value::String("CN=Someone," + ou(), ADSTYPE_DN_STRING)}));
  EXPECT_HR(E_DS_OBJ_CLASS_VIOLATION, user->SetInfo());
}

class RangeTest : public ConformanceTest {
 protected:
  void SetUp() override {
    ConformanceTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_HR(S_OK, Make(ou(), "group", "CN=Big", {{"sAMAccountName", "biggroup"}}));
    std::unique_ptr<Object> big = Bind("CN=Big," + ou());
    for (int i = 0; i < 250; ++i) {
      std::string rdn = "CN=Member " + std::to_string(i);
      ASSERT_HR(S_OK, Make(ou(), "contact", rdn));
      ASSERT_HR(S_OK, big->Add("LDAP://" + rdn + "," + ou()));
    }
  }
};

// The member list is read 100 values at a time, as the directory classes do it.
TEST_F(RangeTest, MembersComeInRangesOfAHundred) {
  std::unique_ptr<Object> big = Bind("CN=Big," + ou());
  std::vector<std::string> all;
  std::vector<std::string> answered;
  for (int low = 0;; low += 100) {
    std::vector<Attribute> attributes;
    std::string name = "member;range=" + std::to_string(low) + "-" + std::to_string(low + 99);
    ASSERT_HR(S_OK, big->GetObjectAttributes({name}, &attributes));
    if (attributes.empty()) break;
    ASSERT_EQ(1u, attributes.size());
    answered.push_back(attributes[0].name);
    EXPECT_EQ(ADSTYPE_DN_STRING, attributes[0].type);
    for (const Value& value : attributes[0].values) all.push_back(*value.string());
    if (attributes[0].values.size() <= 99) break;
  }
  EXPECT_EQ(
      (std::vector<std::string>{"member;range=0-99", "member;range=100-199", "member;range=200-*"}),
      answered);
  ASSERT_EQ(250u, all.size());
  std::sort(all.begin(), all.end());
  EXPECT_EQ(all.end(), std::adjacent_find(all.begin(), all.end()));
  EXPECT_EQ("CN=Member 0," + ou(), all.front());
}

TEST_F(RangeTest, AnOpenRangeGivesTheRest) {
  std::unique_ptr<Object> big = Bind("CN=Big," + ou());
  std::vector<Attribute> attributes;
  ASSERT_HR(S_OK, big->GetObjectAttributes({"member;range=240-*"}, &attributes));
  ASSERT_EQ(1u, attributes.size());
  EXPECT_EQ("member;range=240-*", attributes[0].name);
  EXPECT_EQ(10u, attributes[0].values.size());
}

TEST_F(RangeTest, EveryMemberKnowsItsGroup) {
  EXPECT_EQ((std::vector<std::string>{"CN=Big," + ou()}),
            Texts("CN=Member 249," + ou(), "memberOf"));
}

using UserTest = ConformanceTest;

TEST_F(UserTest, BindingByGuidFindsTheSameObject) {
  ASSERT_HR(S_OK, MakeUser(ou(), "Guid User", "guiduser"));
  std::string guid;
  ASSERT_HR(S_OK, Bind("CN=Guid User," + ou())->GetGuid(&guid));
  std::unique_ptr<Object> by_guid;
  ASSERT_HR(S_OK, directory().Bind("LDAP://<GUID=" + guid + ">", &by_guid));
  ds::Value dn;
  ASSERT_HR(S_OK, by_guid->Get("distinguishedName", &dn));
  EXPECT_EQ("CN=Guid User," + ou(), *dn.string());
  std::unique_ptr<Object> missing;
  EXPECT_HR(E_DS_NO_SUCH_OBJECT,
            directory().Bind("LDAP://<GUID=00000000000000000000000000000001>", &missing));
}

TEST_F(UserTest, SetPasswordStoresItAndStampsPwdLastSet) {
  ASSERT_HR(S_OK, MakeUser(ou(), "Pass User", "passuser"));
  std::string dn = "CN=Pass User," + ou();
  EXPECT_EQ("0", Text(dn, "pwdLastSet"));
  std::unique_ptr<Object> user = Bind(dn);
  ASSERT_HR(S_OK, user->SetPassword("Correct-Horse-7"));
  EXPECT_NE("0", Text(dn, "pwdLastSet"));
  EXPECT_TRUE(backend_->PasswordIs(dn, "Correct-Horse-7"));
  if (embedded()) {
    EXPECT_FALSE(backend_->PasswordIs(dn, "correct-horse-7"));
  }
}

TEST_F(UserTest, AWeakPasswordIsRefused) {
  ASSERT_HR(S_OK, MakeUser(ou(), "Weak User", "weakuser"));
  std::unique_ptr<Object> user = Bind("CN=Weak User," + ou());
  EXPECT_HR(E_DS_CONSTRAINT_VIOLATION, user->SetPassword("abc"));
}

TEST_F(UserTest, AccountDisabledFollowsTheFlag) {
  ASSERT_HR(S_OK, MakeUser(ou(), "State User", "stateuser"));
  std::string dn = "CN=State User," + ou();
  std::unique_ptr<Object> user = Bind(dn);
  bool disabled = false;
  ASSERT_HR(S_OK, user->GetAccountDisabled(&disabled));
  EXPECT_TRUE(disabled);  // a new user without a password starts disabled
  ASSERT_HR(S_OK, user->SetPassword("Correct-Horse-7"));
  ASSERT_HR(S_OK, user->PutAccountDisabled(false));
  ASSERT_HR(S_OK, user->SetInfo());
  std::unique_ptr<Object> again = Bind(dn);
  ASSERT_HR(S_OK, again->GetAccountDisabled(&disabled));
  EXPECT_FALSE(disabled);
  EXPECT_EQ(0, std::stoi(Text(dn, "userAccountControl")) & 2);
  ASSERT_HR(S_OK, again->PutAccountDisabled(true));
  ASSERT_HR(S_OK, again->SetInfo());
  EXPECT_EQ(2, std::stoi(Text(dn, "userAccountControl")) & 2);
}

// Before its first SetInfo a user has no userAccountControl: it reads, and is changed from, what
// the directory makes of a user created without one (a normal account, disabled, no password
// required), whichever backend holds it.
TEST_F(UserTest, ANewUserReadsAsTheDirectoryWillMakeIt) {
  std::unique_ptr<Object> users = Bind(ou());
  std::unique_ptr<Object> user;
  ASSERT_HR(S_OK, users->Create("user", "CN=Fresh User", &user));
  ASSERT_HR(S_OK, user->Put("sAMAccountName", Value::String("freshuser")));
  bool disabled = false;
  ASSERT_HR(S_OK, user->GetAccountDisabled(&disabled));
  EXPECT_TRUE(disabled);
  ASSERT_HR(S_OK, user->PutAccountDisabled(true));
  Value flags;
  ASSERT_HR(S_OK, user->Get("userAccountControl", &flags));
  ASSERT_NE(nullptr, flags.integer());
  EXPECT_EQ(0x222, *flags.integer());
  ASSERT_HR(S_OK, user->SetInfo());
  EXPECT_EQ("546", Text("CN=Fresh User," + ou(), "userAccountControl"));
}

TEST_F(UserTest, WithoutExchangeThereIsNoMailboxInterface) {
  ASSERT_HR(S_OK, MakeUser(ou(), "Mail User", "mailuser"));
  std::unique_ptr<Object> user = Bind("CN=Mail User," + ou());
  std::unique_ptr<MailboxStore> mailbox;
  EXPECT_HR(E_NOINTERFACE, user->QueryMailboxStore(&mailbox));
}

}  // namespace
}  // namespace tessary::testing
