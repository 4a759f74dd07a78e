#include <gtest/gtest.h>

#include <map>
#include <set>

#include "directory/ds/dn.h"
#include "provision.h"
#include "sample_data.h"

namespace tessary::tools {
namespace {

const char kDomainDn[] = "DC=example,DC=com";
const char kConfigurationDn[] = "CN=Configuration,DC=example,DC=com";

SamplePlan Plan() { return BuildSamplePlan("example.com", kDomainDn, kConfigurationDn); }

std::string ClassOf(const ds::LdifRecord& record) {
  for (const auto& a : record.attributes)
    if (a.name == "objectClass") return a.values.back();
  return "";
}

const std::vector<std::string>* ValuesOf(const ds::LdifRecord& record, const std::string& name) {
  for (const auto& a : record.attributes)
    if (a.name == name) return &a.values;
  return nullptr;
}

std::string ParentOf(const std::string& dn) {
  std::vector<ds::Rdn> rdns;
  EXPECT_TRUE(ds::ParseDn(dn, &rdns)) << dn;
  return ds::DnKey(ds::FormatDn(std::vector<ds::Rdn>(rdns.begin() + 1, rdns.end())));
}

TEST(SamplePlanTest, IsTheSameEveryTime) {
  const SamplePlan first = Plan(), second = Plan();
  ASSERT_EQ(first.entries.size(), second.entries.size());
  for (size_t i = 0; i < first.entries.size(); ++i) {
    EXPECT_EQ(first.entries[i].record, second.entries[i].record);
    EXPECT_EQ(first.entries[i].password, second.entries[i].password);
  }
}

TEST(SamplePlanTest, HoldsEveryKindOfObjectInNumbers) {
  const SamplePlan plan = Plan();
  std::map<std::string, int> by_class;
  for (const auto& entry : plan.entries) ++by_class[ClassOf(entry.record)];
  EXPECT_EQ(by_class["user"], 300);
  EXPECT_EQ(plan.counts.users, 300);
  EXPECT_EQ(by_class["group"], plan.counts.groups);
  EXPECT_GE(plan.counts.groups, 10);
  EXPECT_GE(plan.counts.largest_group, 250);
  EXPECT_EQ(by_class["contact"], plan.counts.contacts);
  EXPECT_GE(plan.counts.contacts, 20);
  EXPECT_EQ(by_class["computer"], plan.counts.computers);
  EXPECT_GE(plan.counts.computers, 20);
  EXPECT_EQ(by_class["organizationalUnit"], plan.counts.organizational_units);
  EXPECT_EQ(plan.counts.mailboxes, 100);
  for (const char* exchange_class :
       {"msExchConfigurationContainer", "msExchOrganizationContainer", "msExchAdminGroupContainer",
        "msExchAdminGroup", "msExchServersContainer", "msExchExchangeServer",
        "msExchInformationStore", "msExchStorageGroup", "msExchPrivateMDB"})
    EXPECT_EQ(by_class[exchange_class], 1) << exchange_class;
}

TEST(SamplePlanTest, UsersCarryRealisticAttributes) {
  std::set<std::string> accounts;
  int with_manager = 0;
  for (const auto& entry : Plan().entries) {
    if (ClassOf(entry.record) != "user") continue;
    SCOPED_TRACE(entry.record.dn);
    for (const char* name :
         {"givenName", "sn", "displayName", "mail", "telephoneNumber", "title", "department",
          "company", "l", "st", "postalCode", "streetAddress", "description", "userPrincipalName",
          "sAMAccountName", "physicalDeliveryOfficeName", "userAccountControl"})
      EXPECT_NE(ValuesOf(entry.record, name), nullptr) << name;
    const std::string account = ValuesOf(entry.record, "sAMAccountName")->at(0);
    EXPECT_LE(account.size(), 20u);
    EXPECT_TRUE(accounts.insert(ds::AsciiLower(account)).second) << account;
    EXPECT_EQ(ValuesOf(entry.record, "userPrincipalName")->at(0), account + "@example.com");
    EXPECT_FALSE(entry.password.empty());
    if (ValuesOf(entry.record, "manager")) ++with_manager;
  }
  EXPECT_EQ(with_manager, 299) << "everyone but the chief executive has a manager";
}

TEST(SamplePlanTest, NamesOnlyObjectsCreatedBeforeThem) {
  const SamplePlan plan = Plan();
  std::set<std::string> created{ds::DnKey(kDomainDn), ds::DnKey(kConfigurationDn)};
  for (const std::string& container : plan.containers) created.insert(ds::DnKey(container));
  std::set<std::string> stores;
  for (const auto& entry : plan.entries) {
    const ds::LdifRecord& record = entry.record;
    SCOPED_TRACE(record.dn);
    EXPECT_EQ(record.change, ds::LdifChange::kAdd);
    EXPECT_TRUE(created.count(ParentOf(record.dn))) << "parent first";
    for (const char* link : {"member", "manager"}) {
      if (const auto* values = ValuesOf(record, link)) {
        for (const std::string& dn : *values) {
          EXPECT_TRUE(created.count(ds::DnKey(dn))) << dn;
        }
      }
    }
    if (!entry.mailbox_store_dn.empty()) {
      EXPECT_TRUE(stores.count(ds::DnKey(entry.mailbox_store_dn)));
    }
    EXPECT_TRUE(created.insert(ds::DnKey(record.dn)).second) << "each DN once";
    if (ClassOf(record) == "msExchPrivateMDB") stores.insert(ds::DnKey(record.dn));
  }
}

TEST(SamplePlanTest, SomeNamesNeedMoreThanAscii) {
  int non_ascii = 0;
  for (const auto& entry : Plan().entries)
    for (unsigned char c : entry.record.dn)
      if (c >= 0x80) {
        ++non_ascii;
        break;
      }
  EXPECT_GT(non_ascii, 10) << "the sample exercises UTF-8 names";
}

TEST(DomainDnOfTest, AcceptsDnsNamesOnly) {
  std::string dn;
  ASSERT_TRUE(DomainDnOf("example.com", &dn));
  EXPECT_EQ(dn, "DC=example,DC=com");
  ASSERT_TRUE(DomainDnOf("eu.corp-1.example.org", &dn));
  EXPECT_EQ(dn, "DC=eu,DC=corp-1,DC=example,DC=org");
  for (const char* bad : {"", "example", "example..com", ".example.com", "example.com.", "-bad.com",
                          "bad-.com", "sp ace.com", "a,b.com"})
    EXPECT_FALSE(DomainDnOf(bad, &dn)) << bad;
  EXPECT_FALSE(DomainDnOf(std::string(64, 'a') + ".com", &dn));
}

}  // namespace
}  // namespace tessary::tools
