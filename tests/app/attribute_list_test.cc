#include "app/attribute_list.h"

#include <gtest/gtest.h>

namespace tessary::testing {
namespace {

std::vector<std::string> Column(const CAttributeList& list, int column) {
  std::vector<std::string> texts;
  for (const AttributeRow& row : list.Rows()) {
    texts.push_back(column == 0 ? row.AdminDisplayName : row.LDAPName);
  }
  return texts;
}

CAttributeList ThreeRows() {
  CAttributeList list;
  list.Add("description", "zeta", false);
  list.Add("Common-Name", "cn", true);
  list.Add("Bad-Pwd-Count", "badPwdCount", false);
  return list;
}

TEST(AttributeListSorting, ByDisplayNameWithoutRegardToCase) {
  CAttributeList list = ThreeRows();
  list.SortBy(CAttributeList::kDisplayNameColumn);
  EXPECT_EQ(Column(list, 0),
            (std::vector<std::string>{"Bad-Pwd-Count", "Common-Name", "description"}));
  // The check boxes travel with their rows.
  EXPECT_TRUE(list.Rows()[1].Checked);
}

TEST(AttributeListSorting, AHeaderClickedAgainReversesAnotherSortsAscending) {
  CAttributeList list = ThreeRows();
  list.SortBy(CAttributeList::kDisplayNameColumn);
  list.ClickColumn(CAttributeList::kDisplayNameColumn);
  EXPECT_FALSE(list.Ascending());
  EXPECT_EQ(Column(list, 0),
            (std::vector<std::string>{"description", "Common-Name", "Bad-Pwd-Count"}));
  list.ClickColumn(CAttributeList::kLDAPNameColumn);
  EXPECT_TRUE(list.Ascending());
  EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"badPwdCount", "cn", "zeta"}));
  list.ClickColumn(CAttributeList::kLDAPNameColumn);
  EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"zeta", "cn", "badPwdCount"}));
}

TEST(AttributeListChecks, SelectAllDeselectAllAndTheCheckedNamesInRowOrder) {
  CAttributeList list = ThreeRows();
  // A name listed again keeps its one row.
  EXPECT_EQ(list.Add("Common-Name", "cn", false), 1);
  EXPECT_EQ(list.Count(), 3);
  std::vector<std::string> ldap, admin;
  list.CheckAll(true);
  list.SortBy(CAttributeList::kLDAPNameColumn);
  list.CheckedNames(&ldap, &admin);
  EXPECT_EQ(ldap, (std::vector<std::string>{"badPwdCount", "cn", "zeta"}));
  EXPECT_EQ(admin, (std::vector<std::string>{"Bad-Pwd-Count", "Common-Name", "description"}));
  list.CheckAll(false);
  list.SetChecked(2, true);
  list.SetChecked(7, true);  // no such row: nothing happens
  list.CheckedNames(&ldap, &admin);
  EXPECT_EQ(ldap, (std::vector<std::string>{"zeta"}));
}

}  // namespace
}  // namespace tessary::testing
