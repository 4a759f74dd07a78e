// DN values name their objects wherever those go: a rename or a move carries every value that
// names the object along, linked (manager, member) or not (seeAlso, assistant), and the name of a
// deleted object never comes to stand for another one.

#include <algorithm>

#include "fixture.h"

namespace tessary::testing {
namespace {

using namespace ds;  // the directory failure codes

using ReferenceTest = ConformanceTest;

TEST_F(ReferenceTest, DnValuesFollowRenamesAndMovesOfTheirTarget) {
  ASSERT_HR(S_OK, Make(ou(), "organizationalUnit", "OU=Elsewhere"));
  ASSERT_HR(S_OK, MakeUser(ou(), "Target", "reftarget"));
  const std::string holder = "CN=Holder," + ou();
  ASSERT_HR(S_OK, Make(ou(), "user", "CN=Holder",
                       {{"sAMAccountName", "refholder"},
                        {"seeAlso", "CN=Target," + ou()},
                        {"assistant", "CN=Target," + ou()},
                        {"manager", "CN=Target," + ou()}}));
  ASSERT_HR(S_OK, Bind(ou())->MoveHere("LDAP://CN=Target," + ou(), "CN=Renamed", nullptr));
  for (const char* attribute : {"seeAlso", "assistant", "manager"}) {
    EXPECT_EQ(std::vector<std::string>{"CN=Renamed," + ou()}, Texts(holder, attribute))
        << attribute;
  }
  ASSERT_HR(S_OK, Bind("OU=Elsewhere," + ou())->MoveHere("LDAP://CN=Renamed," + ou(), "", nullptr));
  for (const char* attribute : {"seeAlso", "assistant", "manager"}) {
    EXPECT_EQ(std::vector<std::string>{"CN=Renamed,OU=Elsewhere," + ou()},
              Texts(holder, attribute))
        << attribute;
  }
  // A container's move carries the names of everything below it.
  ASSERT_HR(S_OK, Make(ou(), "organizationalUnit", "OU=Further"));
  ASSERT_HR(S_OK, Bind("OU=Further," + ou())->MoveHere("LDAP://OU=Elsewhere," + ou(), "", nullptr));
  EXPECT_EQ(std::vector<std::string>{"CN=Renamed,OU=Elsewhere,OU=Further," + ou()},
            Texts(holder, "seeAlso"));
}

TEST_F(ReferenceTest, TheNameOfADeletedObjectNeverNamesANewOne) {
  ASSERT_HR(S_OK, Make(ou(), "contact", "CN=Holder"));
  ASSERT_HR(S_OK, Make(ou(), "contact", "CN=Second Holder"));
  // The target is the newest object, so a directory that handed out its id again would give it
  // to the next object made.
  ASSERT_HR(S_OK, Make(ou(), "contact", "CN=Target"));
  const std::string target = "CN=Target," + ou();
  for (const char* holder : {"CN=Holder,", "CN=Second Holder,"}) {
    std::unique_ptr<Object> object = Bind(holder + ou());
    ASSERT_NE(nullptr, object);
    ASSERT_HR(S_OK, object->PutEx(ADS_PROPERTY_UPDATE, "seeAlso",
                                  {Value::String(target, ADSTYPE_DN_STRING),
                                   Value::String(holder + ou(), ADSTYPE_DN_STRING)}));
    ASSERT_HR(S_OK, object->SetInfo());
  }
  ASSERT_HR(S_OK, Bind(ou())->Delete("contact", "CN=Target"));
  std::vector<std::string> made;
  for (int i = 0; i < 3; ++i) {
    made.push_back("CN=Newcomer " + std::to_string(i) + "," + ou());
    ASSERT_HR(S_OK, Make(ou(), "contact", "CN=Newcomer " + std::to_string(i)));
  }
  for (const char* holder : {"CN=Holder,", "CN=Second Holder,"}) {
    std::vector<std::string> values = Texts(holder + ou(), "seeAlso");
    // The value naming the holder itself stays; the one that named the target names no newcomer.
    EXPECT_NE(values.end(), std::find(values.begin(), values.end(), holder + ou()));
    for (const std::string& newcomer : made) {
      EXPECT_EQ(values.end(), std::find(values.begin(), values.end(), newcomer)) << holder;
    }
    // AD shows a deleted target as its tombstone's name until it is collected; the embedded
    // directory, which keeps no tombstones, drops the value at once.
    if (embedded()) {
      EXPECT_EQ(1u, values.size()) << holder;
    }
  }
}

}  // namespace
}  // namespace tessary::testing
