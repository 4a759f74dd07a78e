// Writing values, passwords, account flags, SIDs and group members, and reading single
// attributes back, against the test directory.

#include <gtest/gtest.h>
#include <unistd.h>

#include "directory/ad_object.h"
#include "directory_fixture.h"

namespace tessary {
namespace {

using testing::DirectoryTest;

class WriteTest : public DirectoryTest {
 protected:
  void SetUp() override {
    DirectoryTest::SetUp();
    if (HasFatalFailure()) return;
    object_ = std::make_unique<CBVKADObject>(directory_.get());
    contact_ = AddContact("Writer");
    ASSERT_TRUE(object_->Open(contact_, &bound_)) << object_->Error().GetText();
  }
  // The attribute's values as read back from the directory, "%"-joined.
  std::string ReadBack(const std::string& attribute) {
    CBVKADObject reader(directory_.get());
    reader.DistinguishedName = contact_;
    std::unique_ptr<ds::Object> object;
    EXPECT_TRUE(reader.Open(contact_, &object));
    std::vector<std::string> texts;
    EXPECT_TRUE(
        reader.GetStringListAttribute(*object, attribute, &texts, CBVKADObject::Required::No))
        << reader.Error().GetText();
    std::string joined;
    for (const std::string& text : texts) joined += (joined.empty() ? "" : "%") + text;
    return joined;
  }

  std::unique_ptr<CBVKADObject> object_;
  std::unique_ptr<ds::Object> bound_;
  std::string contact_;
};

TEST_F(WriteTest, PutStringWritesAndEmptyTextClears) {
  ASSERT_TRUE(object_->PutString(*bound_, "description", "hello"));
  ASSERT_TRUE(object_->Commit(*bound_)) << object_->Error().GetText();
  EXPECT_EQ(ReadBack("description"), "hello");
  ASSERT_TRUE(object_->PutString(*bound_, "description", ""));
  ASSERT_TRUE(object_->Commit(*bound_)) << object_->Error().GetText();
  EXPECT_EQ(ReadBack("description"), "");
}

TEST_F(WriteTest, PutMultiStringReplacesOrAppends) {
  ASSERT_TRUE(object_->PutMultiString(*bound_, "otherTelephone", {"1", "2"},
                                      CBVKADObject::AppendValues::No));
  ASSERT_TRUE(object_->Commit(*bound_)) << object_->Error().GetText();
  ASSERT_TRUE(
      object_->PutMultiString(*bound_, "otherTelephone", {"3"}, CBVKADObject::AppendValues::Yes));
  ASSERT_TRUE(object_->Commit(*bound_)) << object_->Error().GetText();
  std::string values = ReadBack("otherTelephone");
  for (const char* value : {"1", "2", "3"}) EXPECT_NE(values.find(value), std::string::npos);
  ASSERT_TRUE(
      object_->PutMultiString(*bound_, "otherTelephone", {"9"}, CBVKADObject::AppendValues::No));
  ASSERT_TRUE(object_->Commit(*bound_));
  EXPECT_EQ(ReadBack("otherTelephone"), "9");
}

TEST_F(WriteTest, AppendSidRejectsTextThatIsNotASid) {
  EXPECT_FALSE(object_->AppendSID(*bound_, "sIDHistory", "S-1-x"));
  EXPECT_EQ(object_->Error().GetText(),
            "Could not convert the security information from a string value.\nThe security ID "
            "structure is invalid. (539)\nCould not write the value 'S-1-x' to the 'sIDHistory' "
            "security attribute.");
}

TEST_F(WriteTest, GroupMembersAreAddedOnceAndRemoved) {
  std::string group = AddGroup("Team");
  ASSERT_TRUE(object_->AddGroupMember(group, contact_)) << object_->Error().GetText();
  // Already a member: still success.
  ASSERT_TRUE(object_->AddGroupMember(group, contact_)) << object_->Error().GetText();
  CBVKADObject reader(directory_.get());
  reader.DistinguishedName = group;
  std::string member;
  ASSERT_TRUE(reader.GetOwnAttribute("member", &member, CBVKADObject::Required::Yes))
      << reader.Error().GetText();
  EXPECT_EQ(member, contact_);
  ASSERT_TRUE(object_->RemoveGroupMember(group, contact_)) << object_->Error().GetText();
  EXPECT_FALSE(object_->RemoveGroupMember(group, contact_));
  EXPECT_EQ(object_->Error().GetText().rfind(
                "Could not remove member '" + contact_ + "' to the group '" + group + "'.\n", 0),
            0u);
  EXPECT_FALSE(reader.GetOwnAttribute("member", &member, CBVKADObject::Required::Yes));
  EXPECT_EQ(reader.Error().GetText(),
            "The object '" + group + "' does not have a value for 'member'.");
  EXPECT_TRUE(reader.GetOwnAttribute("member", &member, CBVKADObject::Required::No));
  EXPECT_EQ(member, "");
}

TEST_F(WriteTest, AddToAMissingGroup) {
  const std::string missing = "CN=NoGroup," + unit_;
  EXPECT_FALSE(object_->AddGroupMember(missing, contact_));
  EXPECT_EQ(object_->Error().GetText(),
            "Could not open the object '" + missing +
                "'.\nObject does not exist. (80072030)\nCould not add member '" + contact_ +
                "' to the group '" + missing + "'.");
}

TEST_F(WriteTest, GroupOf250MembersIsReadInThreeRequests) {
  std::string group = AddGroup("Big");
  std::vector<std::string> members;
  for (int i = 0; i < 250; ++i) members.push_back(AddContact("m" + std::to_string(i)));
  std::unique_ptr<ds::Object> writable;
  ASSERT_TRUE(object_->Open(group, &writable));
  ASSERT_TRUE(
      object_->PutMultiString(*writable, "member", members, CBVKADObject::AppendValues::No));
  ASSERT_TRUE(object_->Commit(*writable)) << object_->Error().GetText();
  directory_->Calls() = {};
  CBVKADObject reader(directory_.get());
  std::unique_ptr<ds::Object> bound;
  ASSERT_TRUE(reader.Open(group, &bound));
  ASSERT_TRUE(reader.Properties.ReadAttribute(*bound, "member")) << reader.Error().GetText();
  EXPECT_EQ(directory_->Calls().attribute_requests,
            (std::vector<std::string>{"Member;Range=0-99", "Member;Range=100-199",
                                      "Member;Range=200-299"}));
  std::vector<std::string> read;
  ASSERT_TRUE(reader.Properties.GetTextList("member", &read));
  EXPECT_EQ(read.size(), 250u);
}

TEST_F(WriteTest, UserPasswordAndAccountFlag) {
  std::unique_ptr<ds::Object> user;
  ASSERT_TRUE(object_->CreateInContainer(unit_, "user", "Pat", &user));
  ASSERT_TRUE(object_->PutString(*user, "sAMAccountName", AccountName("pat")));
  ASSERT_TRUE(object_->Commit(*user)) << object_->Error().GetText();
  EXPECT_FALSE(object_->SetPassword(*user, "x"));
  EXPECT_EQ(object_->Error().GetText().rfind("Could not set the password.\n", 0), 0u);
  ASSERT_TRUE(object_->SetPassword(*user, "Tessary-Pass-2024!")) << object_->Error().GetText();
  ASSERT_TRUE(object_->SetAccountDisabled(*user, false)) << object_->Error().GetText();
  bool disabled = true;
  std::unique_ptr<ds::Object> reread;
  ASSERT_TRUE(object_->Open("CN=Pat," + unit_, &reread));
  ASSERT_EQ(reread->GetAccountDisabled(&disabled), S_OK);
  EXPECT_FALSE(disabled);
  ASSERT_TRUE(object_->SetAccountDisabled(*user, true)) << object_->Error().GetText();
  ASSERT_TRUE(object_->Open("CN=Pat," + unit_, &reread));
  ASSERT_EQ(reread->GetAccountDisabled(&disabled), S_OK);
  EXPECT_TRUE(disabled);
}

TEST_F(WriteTest, ObjectSidReadsAsText) {
  std::string group = AddGroup("Sids");
  CBVKADObject reader(directory_.get());
  reader.DistinguishedName = group;
  std::string sid;
  ASSERT_TRUE(reader.GetOwnAttribute("objectSid", &sid, CBVKADObject::Required::Yes))
      << reader.Error().GetText();
  EXPECT_EQ(sid.rfind("S-1-5-21-", 0), 0u) << sid;
}

}  // namespace
}  // namespace tessary
