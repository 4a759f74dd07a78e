// A group's members are kept one value at a time: adding or removing one member of a large group
// leaves every other member as it was, in the group and in their memberOf.

#include <algorithm>

#include "fixture.h"

namespace tessary::testing {
namespace {

using namespace ds;  // the directory failure codes

using LargeGroupTest = ConformanceTest;

TEST_F(LargeGroupTest, OneMemberComesAndGoesWhileTheOthersStay) {
  constexpr int kMembers = 50;
  ASSERT_HR(S_OK, Make(ou(), "group", "CN=Crowd", {{"sAMAccountName", "crowd"}}));
  std::unique_ptr<Object> crowd = Bind("CN=Crowd," + ou());
  ASSERT_NE(nullptr, crowd);
  std::vector<std::string> expected;
  for (int i = 0; i < kMembers; ++i) {
    std::string rdn = "CN=Member " + std::to_string(i);
    ASSERT_HR(S_OK, Make(ou(), "contact", rdn));
    ASSERT_HR(S_OK, crowd->Add("LDAP://" + rdn + "," + ou()));
    expected.push_back(rdn + "," + ou());
  }
  const std::string middle = "CN=Member 25," + ou();
  EXPECT_HR(E_DS_ALREADY_EXISTS, crowd->Add("LDAP://" + middle));
  ASSERT_HR(S_OK, crowd->Remove("LDAP://" + middle));
  EXPECT_TRUE(Failed(crowd->Remove("LDAP://" + middle)));
  bool is_member = true;
  ASSERT_HR(S_OK, crowd->IsMember("LDAP://" + middle, &is_member));
  EXPECT_FALSE(is_member);
  EXPECT_TRUE(Texts(middle, "memberOf").empty());
  ASSERT_HR(S_OK, crowd->Add("LDAP://" + middle));

  std::vector<std::string> members = Texts("CN=Crowd," + ou(), "member");
  std::sort(members.begin(), members.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, members);
  for (const std::string& member : {expected.front(), middle, expected.back()}) {
    EXPECT_EQ(std::vector<std::string>{"CN=Crowd," + ou()}, Texts(member, "memberOf")) << member;
  }
  EXPECT_EQ(kMembers, static_cast<int>(Names("(memberOf=CN=Crowd," + ou() + ")").size()));
  EXPECT_EQ(std::vector<std::string>{"Crowd"}, Names("(member=" + middle + ")"));
  EXPECT_EQ(std::vector<std::string>{"Crowd"}, Names("(&(objectClass=group)(member=*))"));
}

TEST_F(LargeGroupTest, ASingleValuedLinkTakesOneValueHoweverItIsReplaced) {
  for (const char* rdn : {"CN=Boss One", "CN=Boss Two", "CN=Worker"}) {
    ASSERT_HR(S_OK, Make(ou(), "contact", rdn));
  }
  const std::string one = "CN=Boss One," + ou(), two = "CN=Boss Two," + ou();
  std::unique_ptr<Object> worker = Bind("CN=Worker," + ou());
  ASSERT_NE(nullptr, worker);
  ASSERT_HR(S_OK, worker->Put("manager", Value::String(one)));
  ASSERT_HR(S_OK, worker->SetInfo());
  // One value for another: the stored one goes as the new one comes.
  ASSERT_HR(S_OK, worker->Put("manager", Value::String(two)));
  ASSERT_HR(S_OK, worker->SetInfo());
  EXPECT_EQ(std::vector<std::string>{two}, Texts("CN=Worker," + ou(), "manager"));
  // A second value beside the stored one is refused, and so are two at once.
  ASSERT_HR(S_OK, worker->PutEx(ADS_PROPERTY_APPEND, "manager", {Value::String(one)}));
  EXPECT_TRUE(Failed(worker->SetInfo()));
  ASSERT_HR(S_OK, worker->GetInfo());
  ASSERT_HR(S_OK, worker->PutEx(ADS_PROPERTY_UPDATE, "manager",
                                {Value::String(one), Value::String(two)}));
  EXPECT_TRUE(Failed(worker->SetInfo()));
  ASSERT_HR(S_OK, worker->GetInfo());
  EXPECT_EQ(std::vector<std::string>{two}, Texts("CN=Worker," + ou(), "manager"));
  // Clearing it works once and then finds nothing to delete.
  ASSERT_HR(S_OK, worker->PutEx(ADS_PROPERTY_DELETE, "manager", {}));
  ASSERT_HR(S_OK, worker->SetInfo());
  EXPECT_TRUE(Texts("CN=Worker," + ou(), "manager").empty());
}

}  // namespace
}  // namespace tessary::testing
