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

}  // namespace
}  // namespace tessary::testing
