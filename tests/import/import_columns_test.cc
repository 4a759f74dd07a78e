#include <gtest/gtest.h>

#include "import/import_engine.h"
#include "test_support.h"

namespace tessary {
namespace {

TEST(SpecialColumnTest, NamesAreExactAndCaseSensitive) {
  for (const char* name :
       {"mode", "Mode", "objectGUID", "distinguishedName", "password", "homeMDB", "exchHomeServer",
        "exchMailboxStore", "exchStorageGroup", "exchAdminGroup", "exchOrganization", "cn",
        "container", "memberOf", "accountDisabled"}) {
    EXPECT_TRUE(IsSpecialColumn(name, Creating::No)) << name;
  }
  for (const char* name : {"MODE", "CN", "memberof", "description", "sAMAccountName", ""}) {
    EXPECT_FALSE(IsSpecialColumn(name, Creating::No)) << name;
  }
}

TEST(SpecialColumnTest, PwdLastSetIsSpecialOnlyWhenCreating) {
  EXPECT_TRUE(IsSpecialColumn("pwdLastSet", Creating::Yes));
  EXPECT_FALSE(IsSpecialColumn("pwdLastSet", Creating::No));
}

class ColumnTableTest : public testing::MachineTest {
 protected:
  void SetUp() override {
    engine_.AddColumn("mode", "mode", "mode", kValueSpecial, true);
    engine_.AddColumn("description", "Description", "CN=Description,CN=Schema", kValueString,
                      false);
    engine_.AddColumn("cn", "cn", "cn", kValueSpecial, true);
  }
  CImportEngine engine_{nullptr};
};

TEST_F(ColumnTableTest, FindColumnComparesExactly) {
  EXPECT_EQ(engine_.FindColumn("description"), 1);
  EXPECT_EQ(engine_.FindColumn("Description"), -1);
  EXPECT_EQ(engine_.FindColumn("CN"), -1);
}

TEST_F(ColumnTableTest, ColumnValueIsEmptyPastTheEntrysEnd) {
  EXPECT_EQ(engine_.GetColumnValue({"Modify", "text", "Name"}, "cn"), "Name");
  EXPECT_EQ(engine_.GetColumnValue({"Modify"}, "cn"), "");
  EXPECT_EQ(engine_.GetColumnValue({}, "mode"), "");
  EXPECT_EQ(engine_.GetColumnValue({"Modify", "x", "y"}, "missing"), "");
}

TEST_F(ColumnTableTest, NamesAndMapFollowTheTable) {
  std::vector<std::string> names{"old"};
  EXPECT_EQ(engine_.GetColumnNames(names), 3);
  EXPECT_EQ(names, (std::vector<std::string>{"mode", "description", "cn"}));
  std::map<std::string, const CImportColumn*> map{{"stale", nullptr}};
  engine_.MapColumns(map);
  ASSERT_EQ(map.size(), 3u);
  EXPECT_EQ(map.at("Description")->Name, "description");
  EXPECT_EQ(map.at("Description")->SchemaEntryDN, "CN=Description,CN=Schema");
  EXPECT_FALSE(map.at("Description")->SingleValued);
}

}  // namespace
}  // namespace tessary
