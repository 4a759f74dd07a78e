#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "directory/ds/embedded/schema_definition.h"

namespace tessary::ds::embedded {
namespace {

const AttributeDefinition* FindAttribute(const SchemaDefinition& schema, const std::string& name) {
  for (const auto& a : schema.attributes)
    if (a.ldap_display_name == name) return &a;
  return nullptr;
}

const ClassDefinition* FindClass(const SchemaDefinition& schema, const std::string& name) {
  for (const auto& c : schema.classes)
    if (c.ldap_display_name == name) return &c;
  return nullptr;
}

bool Contains(const std::vector<std::string>& list, const std::string& name) {
  return std::find(list.begin(), list.end(), name) != list.end();
}

TEST(BuiltinSchemaTest, HoldsTheAttributesSuchObjectsCarry) {
  EXPECT_GE(BuiltinSchema().attributes.size(), 250u);
}

struct Expected {
  const char* name;
  int om_syntax;
  const char* syntax;
  bool single_valued;
  int link_id;
};

TEST(BuiltinSchemaTest, AnswersWithActiveDirectorysSyntaxes) {
  const Expected expected[] = {
      {"description", 64, "2.5.5.12", false, 0},
      {"userAccountControl", 2, "2.5.5.9", true, 0},
      {"manager", 127, "2.5.5.1", true, 42},
      {"accountExpires", 65, "2.5.5.16", true, 0},
      {"objectSid", 4, "2.5.5.17", true, 0},
      {"member", 127, "2.5.5.1", false, 2},
      {"memberOf", 127, "2.5.5.1", false, 3},
      {"objectGUID", 4, "2.5.5.10", true, 0},
      {"whenCreated", 24, "2.5.5.11", true, 0},
      {"sAMAccountName", 64, "2.5.5.12", true, 0},
      {"pwdLastSet", 65, "2.5.5.16", true, 0},
      {"legacyExchangeDN", 20, "2.5.5.4", true, 0},
      {"homeMDB", 127, "2.5.5.1", true, 32},
      {"msExchHomeServerName", 64, "2.5.5.12", true, 0},
      {"mailNickname", 64, "2.5.5.12", true, 0},
      {"msExchMailboxGuid", 4, "2.5.5.10", true, 0},
      {"nTSecurityDescriptor", 66, "2.5.5.15", true, 0},
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.name);
    const AttributeDefinition* a = FindAttribute(BuiltinSchema(), e.name);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->om_syntax, e.om_syntax);
    EXPECT_EQ(a->attribute_syntax, e.syntax);
    EXPECT_EQ(a->single_valued, e.single_valued);
    EXPECT_EQ(a->link_id, e.link_id);
  }
}

TEST(BuiltinSchemaTest, CarriesIdentifiersNamesAndRanges) {
  const AttributeDefinition* description = FindAttribute(BuiltinSchema(), "description");
  ASSERT_NE(description, nullptr);
  EXPECT_EQ(description->cn, "Description");
  EXPECT_EQ(description->admin_display_name, "Description");
  EXPECT_EQ(description->attribute_id, "2.5.4.13");
  EXPECT_EQ(description->schema_id_guid, "bf967950-0de6-11d0-a285-00aa003049e2");
  EXPECT_EQ(description->range_upper, 1024);

  const AttributeDefinition* sam = FindAttribute(BuiltinSchema(), "sAMAccountName");
  ASSERT_NE(sam, nullptr);
  EXPECT_EQ(sam->cn, "SAM-Account-Name");
  EXPECT_EQ(sam->range_lower, 0);
  EXPECT_EQ(sam->range_upper, 256);
  EXPECT_EQ(sam->search_flags & 0x1, 0x1) << "indexed";

  const AttributeDefinition* home_mdb = FindAttribute(BuiltinSchema(), "homeMDB");
  ASSERT_NE(home_mdb, nullptr);
  EXPECT_EQ(home_mdb->attribute_id, "1.2.840.113556.1.2.244");
  EXPECT_EQ(home_mdb->cn, "ms-Exch-Home-MDB");

  const AttributeDefinition* object_sid = FindAttribute(BuiltinSchema(), "objectSid");
  ASSERT_NE(object_sid, nullptr);
  EXPECT_TRUE(object_sid->system_only);
}

TEST(BuiltinSchemaTest, HoldsEveryClassTheDirectoryUses) {
  const std::map<std::string, std::string> classes = {
      {"top", "Top"},
      {"person", "Person"},
      {"organizationalPerson", "Organizational-Person"},
      {"user", "User"},
      {"inetOrgPerson", "inetOrgPerson"},
      {"contact", "Contact"},
      {"group", "Group"},
      {"computer", "Computer"},
      {"organizationalUnit", "Organizational-Unit"},
      {"container", "Container"},
      {"domain", "Domain"},
      {"domainDNS", "Domain-DNS"},
      {"lostAndFound", "Lost-And-Found"},
      {"crossRef", "Cross-Ref"},
      {"crossRefContainer", "Cross-Ref-Container"},
      {"configuration", "Configuration"},
      {"dMD", "DMD"},
      {"classSchema", "Class-Schema"},
      {"attributeSchema", "Attribute-Schema"},
      {"securityPrincipal", "Security-Principal"},
      {"mailRecipient", "Mail-Recipient"},
      {"msExchOrganizationContainer", "ms-Exch-Organization-Container"},
      {"msExchAdminGroupContainer", "ms-Exch-Admin-Group-Container"},
      {"msExchAdminGroup", "ms-Exch-Admin-Group"},
      {"msExchServersContainer", "ms-Exch-Servers-Container"},
      {"msExchExchangeServer", "ms-Exch-Exchange-Server"},
      {"msExchStorageGroup", "ms-Exch-Storage-Group"},
      {"msExchPrivateMDB", "ms-Exch-Private-MDB"},
  };
  for (const auto& [name, admin_name] : classes) {
    SCOPED_TRACE(name);
    const ClassDefinition* c = FindClass(BuiltinSchema(), name);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->admin_display_name, admin_name);
    EXPECT_FALSE(c->governs_id.empty());
    EXPECT_EQ(c->schema_id_guid.size(), 36u);
  }
}

TEST(BuiltinSchemaTest, ClassesHaveTheirCategoriesAndNaming) {
  const ClassDefinition* user = FindClass(BuiltinSchema(), "user");
  ASSERT_NE(user, nullptr);
  EXPECT_EQ(user->governs_id, "1.2.840.113556.1.5.9");
  EXPECT_EQ(user->sub_class_of, "organizationalPerson");
  EXPECT_EQ(user->default_object_category, "Person");
  EXPECT_EQ(user->object_class_category, 1);
  EXPECT_TRUE(Contains(user->system_auxiliary_class, "securityPrincipal"));
  EXPECT_TRUE(Contains(user->system_auxiliary_class, "mailRecipient"));
  EXPECT_TRUE(Contains(user->auxiliary_class, "msExchMailStorage"));
  EXPECT_TRUE(Contains(user->system_poss_superiors, "organizationalUnit"));
  EXPECT_TRUE(Contains(user->system_may_contain, "userAccountControl"));

  const ClassDefinition* ou = FindClass(BuiltinSchema(), "organizationalUnit");
  ASSERT_NE(ou, nullptr);
  EXPECT_EQ(ou->rdn_att_id, "ou");
  EXPECT_TRUE(Contains(ou->system_must_contain, "ou"));
  EXPECT_EQ(FindClass(BuiltinSchema(), "domainDNS")->rdn_att_id, "dc");
  EXPECT_EQ(FindClass(BuiltinSchema(), "top")->object_class_category, 2);
  EXPECT_EQ(FindClass(BuiltinSchema(), "mailRecipient")->object_class_category, 3);
  EXPECT_EQ(FindClass(BuiltinSchema(), "computer")->default_object_category, "Computer");
  EXPECT_EQ(FindClass(BuiltinSchema(), "contact")->default_object_category, "Person");
  EXPECT_TRUE(Contains(FindClass(BuiltinSchema(), "mailRecipient")->may_contain, "mailNickname"));
  EXPECT_TRUE(Contains(FindClass(BuiltinSchema(), "group")->system_may_contain, "member"));
}

TEST(BuiltinSchemaTest, EveryNameAClassUsesIsDefined) {
  const SchemaDefinition& schema = BuiltinSchema();
  std::set<std::string> attributes, classes;
  for (const auto& a : schema.attributes) attributes.insert(a.ldap_display_name);
  for (const auto& c : schema.classes) classes.insert(c.ldap_display_name);
  for (const auto& c : schema.classes) {
    SCOPED_TRACE(c.ldap_display_name);
    for (const auto* list :
         {&c.must_contain, &c.may_contain, &c.system_must_contain, &c.system_may_contain})
      for (const auto& name : *list) EXPECT_TRUE(attributes.count(name)) << name;
    for (const auto* list : {&c.auxiliary_class, &c.system_auxiliary_class, &c.poss_superiors,
                             &c.system_poss_superiors})
      for (const auto& name : *list) EXPECT_TRUE(classes.count(name)) << name;
    EXPECT_TRUE(classes.count(c.sub_class_of)) << c.sub_class_of;
    EXPECT_TRUE(attributes.count(c.rdn_att_id)) << c.rdn_att_id;
  }
}

TEST(BuiltinSchemaTest, SuperclassChainsEndAtTop) {
  const SchemaDefinition& schema = BuiltinSchema();
  for (const auto& c : schema.classes) {
    SCOPED_TRACE(c.ldap_display_name);
    std::string name = c.ldap_display_name;
    int steps = 0;
    while (name != "top" && steps < 20) {
      const ClassDefinition* current = FindClass(schema, name);
      ASSERT_NE(current, nullptr) << name;
      name = current->sub_class_of;
      ++steps;
    }
    EXPECT_EQ(name, "top");
  }
}

TEST(BuiltinSchemaTest, NamesAndIdentifiersAreUnique) {
  std::set<std::string> names, oids, guids;
  for (const auto& a : BuiltinSchema().attributes) {
    EXPECT_TRUE(names.insert(a.ldap_display_name).second) << a.ldap_display_name;
    EXPECT_TRUE(oids.insert(a.attribute_id).second) << a.attribute_id;
    EXPECT_TRUE(guids.insert(a.schema_id_guid).second) << a.schema_id_guid;
  }
  for (const auto& c : BuiltinSchema().classes) {
    EXPECT_TRUE(names.insert(c.ldap_display_name).second) << c.ldap_display_name;
    EXPECT_TRUE(oids.insert(c.governs_id).second) << c.governs_id;
  }
}

TEST(BuiltinSchemaTest, LinkedAttributesComeInPairs) {
  std::set<int> links;
  for (const auto& a : BuiltinSchema().attributes)
    if (a.link_id) links.insert(a.link_id);
  for (int link : links) {
    if (link % 2 == 1) {
      EXPECT_TRUE(links.count(link - 1)) << "back link " << link;
    }
  }
  EXPECT_TRUE(links.count(33)) << "homeMDBBL";
}

TEST(AddExchangeSchemaTest, KeepsExistingEntriesAndExtendsUser) {
  SchemaDefinition schema;
  ClassDefinition user;
  user.ldap_display_name = "user";
  user.auxiliary_class = {"posixAccount"};
  schema.classes.push_back(user);
  AttributeDefinition mine;
  mine.ldap_display_name = "homeMDB";
  mine.attribute_id = "9.9";
  schema.attributes.push_back(mine);

  AddExchangeSchema(&schema);
  AddExchangeSchema(&schema);  // a second time changes nothing

  int home_mdb = 0;
  for (const auto& a : schema.attributes)
    if (a.ldap_display_name == "homeMDB") {
      ++home_mdb;
      EXPECT_EQ(a.attribute_id, "9.9");
    }
  EXPECT_EQ(home_mdb, 1);
  EXPECT_NE(FindAttribute(schema, "msExchHomeServerName"), nullptr);
  EXPECT_NE(FindClass(schema, "msExchPrivateMDB"), nullptr);
  const ClassDefinition* extended = FindClass(schema, "user");
  ASSERT_NE(extended, nullptr);
  EXPECT_EQ(extended->auxiliary_class,
            (std::vector<std::string>{"posixAccount", "msExchMailStorage"}));
}

}  // namespace
}  // namespace tessary::ds::embedded
