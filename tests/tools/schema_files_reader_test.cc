#include "directory/ds/embedded/schema_files_reader.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_support.h"

namespace tessary::ds::embedded {
namespace {

const char kInstalledFolder[] = "/usr/share/samba/setup/ad-schema";

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

std::string ParseError(std::string_view text, SchemaFileKind kind) {
  SchemaDefinition schema;
  std::string error;
  EXPECT_FALSE(ParseSchemaFile(text, kind, "test.txt", &schema, &error));
  return error;
}

TEST(ParseSchemaFileTest, ReadsAnAttributeEntry) {
  SchemaDefinition schema;
  std::string error;
  ASSERT_TRUE(
      ParseSchemaFile("# a comment\n"
                      "#  that is folded\n"
                      "\n"
                      "cn: Member\n"
                      "ldapDisplayName: member\n"
                      "attributeId: 2.5.4.31\n"
                      "attributeSyntax: 2.5.5.1\n"
                      "omSyntax: 127\n"
                      "isSingleValued: FALSE\n"
                      "schemaIdGuid:BF9679C0-0de6-11d0-a285-00aa003049e2\n"
                      "systemOnly: FALSE\n"
                      "searchFlags: fATTINDEX |\n"
                      " fCOPY\n"
                      "linkId: 2\n"
                      "rangeLower: 0\n"
                      "rangeUpper: 4294967295\n"
                      "systemFlags: FLAG_SCHEMA_BASE_OBJECT | FLAG_ATTR_REQ_PARTIAL_SET_MEMBER\n"
                      "mapiID: 32777\n",
                      SchemaFileKind::kAttributes, "test.txt", &schema, &error))
      << error;
  ASSERT_EQ(schema.attributes.size(), 1u);
  const AttributeDefinition& a = schema.attributes[0];
  EXPECT_EQ(a.ldap_display_name, "member");
  EXPECT_EQ(a.cn, "Member");
  EXPECT_EQ(a.admin_display_name, "Member");
  EXPECT_EQ(a.attribute_id, "2.5.4.31");
  EXPECT_EQ(a.attribute_syntax, "2.5.5.1");
  EXPECT_EQ(a.om_syntax, 127);
  EXPECT_FALSE(a.single_valued);
  EXPECT_EQ(a.schema_id_guid, "bf9679c0-0de6-11d0-a285-00aa003049e2");
  EXPECT_EQ(a.search_flags, 0x11);
  EXPECT_EQ(a.link_id, 2);
  EXPECT_EQ(a.range_lower, 0);
  EXPECT_EQ(a.range_upper, 4294967295LL);
  EXPECT_EQ(a.system_flags, 0x12);
}

TEST(ParseSchemaFileTest, ReadsAClassEntryWithFoldedListsAndCrLf) {
  SchemaDefinition schema;
  std::string error;
  ASSERT_TRUE(ParseSchemaFile(
      "cn: Group\r\n"
      "ldapDisplayName: group\r\n"
      "governsId: 1.2.840.113556.1.5.8\r\n"
      "objectClassCategory: 1\r\n"
      "rdnAttId: cn\r\n"
      "subClassOf: top\r\n"
      "systemMustContain: groupType\r\n"
      "systemMayContain: member, nTGroupMembers,operatorCount,\r\n"
      "  adminCount\r\n"
      "mayContain: msSFU30Name\r\n"
      "mayContain: gidNumber\r\n"
      "systemAuxiliaryClass: mailRecipient\r\n"
      "systemPossSuperiors: organizationalUnit, domainDNS\r\n"
      "defaultObjectCategory: CN=Group,CN=Schema,CN=Configuration,<RootDomainDN>\r\n"
      "   \r\n"
      "cn: Top\r\n"
      "ldapDisplayName: top\r\n"
      "governsId: 2.5.6.0\r\n"
      "objectClassCategory: 2\r\n"
      "subClassOf: top\r\n",
      SchemaFileKind::kClasses, "test.txt", &schema, &error))
      << error;
  ASSERT_EQ(schema.classes.size(), 2u);
  const ClassDefinition& group = schema.classes[0];
  EXPECT_EQ(group.governs_id, "1.2.840.113556.1.5.8");
  EXPECT_EQ(group.system_must_contain, std::vector<std::string>{"groupType"});
  EXPECT_EQ(group.system_may_contain,
            (std::vector<std::string>{"member", "nTGroupMembers", "operatorCount", "adminCount"}));
  EXPECT_EQ(group.may_contain, (std::vector<std::string>{"msSFU30Name", "gidNumber"}));
  EXPECT_EQ(group.system_poss_superiors,
            (std::vector<std::string>{"organizationalUnit", "domainDNS"}));
  EXPECT_EQ(group.default_object_category, "Group");
  EXPECT_EQ(schema.classes[1].object_class_category, 2);
  EXPECT_EQ(schema.classes[1].rdn_att_id, "cn") << "the default naming attribute";
}

TEST(ParseSchemaFileTest, MalformedLinesNameTheirLine) {
  EXPECT_EQ(ParseError("cn: A\nthis line has no colon\n", SchemaFileKind::kAttributes),
            "Could not read the schema file 'test.txt'.\nLine 2: expected 'name: value'.");
  EXPECT_EQ(ParseError("# comment\n\n folded without a start\n", SchemaFileKind::kClasses),
            "Could not read the schema file 'test.txt'.\n"
            "Line 3: a continuation line must follow an attribute line.");
  EXPECT_EQ(ParseError(": no name\n", SchemaFileKind::kClasses),
            "Could not read the schema file 'test.txt'.\nLine 1: expected 'name: value'.");
}

constexpr char kGoodAttribute[] =
    "cn: Description\n"
    "ldapDisplayName: description\n"
    "attributeId: 2.5.4.13\n"
    "attributeSyntax: 2.5.5.12\n"
    "omSyntax: 64\n"
    "isSingleValued: FALSE\n";

TEST(ParseSchemaFileTest, IncompleteOrInvalidEntriesAreRefused) {
  const std::string second = std::string(kGoodAttribute) + "\n";
  EXPECT_EQ(ParseError(second + "cn: Title\n"
                                "ldapDisplayName: title\n"
                                "attributeId: 2.5.4.12\n"
                                "omSyntax: 64\n"
                                "isSingleValued: TRUE\n",
                       SchemaFileKind::kAttributes),
            "Could not read the schema file 'test.txt'.\n"
            "Line 8: the attribute entry has no attributeSyntax.");
  EXPECT_EQ(ParseError(second + kGoodAttribute, SchemaFileKind::kAttributes),
            "Could not read the schema file 'test.txt'.\nLine 8: 'description' is defined twice.");
  EXPECT_EQ(ParseError(std::string(kGoodAttribute) + "searchFlags: fCOPY | fBOGUS\n",
                       SchemaFileKind::kAttributes),
            "Could not read the schema file 'test.txt'.\n"
            "Line 7: unknown flag 'fBOGUS' in searchFlags.");
  EXPECT_EQ(ParseError(std::string(kGoodAttribute) + "linkID: two\n", SchemaFileKind::kAttributes),
            "Could not read the schema file 'test.txt'.\nLine 7: linkID must be a number.");
  EXPECT_EQ(ParseError(std::string(kGoodAttribute) + "omSyntax: 64\n", SchemaFileKind::kAttributes),
            "Could not read the schema file 'test.txt'.\n"
            "Line 7: 'oMSyntax' appears twice in one entry.");
  EXPECT_EQ(ParseError("cn: Top\nldapDisplayName: top\ngovernsId: 2.5.6.0\nsubClassOf: top\n"
                       "objectClassCategory: 7\n",
                       SchemaFileKind::kClasses),
            "Could not read the schema file 'test.txt'.\n"
            "Line 5: objectClassCategory must be 0, 1, 2 or 3.");
  EXPECT_EQ(ParseError("cn: A\nldapDisplayName: a\nattributeId: 1\nattributeSyntax: 2.5.5.8\n"
                       "omSyntax: 1\nisSingleValued: maybe\n",
                       SchemaFileKind::kAttributes),
            "Could not read the schema file 'test.txt'.\n"
            "Line 6: isSingleValued must be TRUE or FALSE.");
}

TEST(ReadSchemaFilesTest, AFolderWithoutTheFilesIsAnError) {
  testing::ScopedMachine machine;
  SchemaDefinition schema;
  std::string error;
  EXPECT_FALSE(ReadSchemaFiles(machine.Root().string(), &schema, &error));
  EXPECT_EQ(error, "Could not find Microsoft's schema files in the folder '" +
                       machine.Root().string() +
                       "'.\nExpected MS-AD_Schema_2K8_R2_Attributes.txt and "
                       "MS-AD_Schema_2K8_R2_Classes.txt.");
}

TEST(ReadSchemaFilesTest, AMalformedFileNamesItsPathAndLine) {
  testing::ScopedMachine machine;
  const auto folder = machine.Root() / "schema";
  testing::WriteFileText(folder / "MS-AD_Schema_2K8_R2_Attributes.txt", kGoodAttribute);
  testing::WriteFileText(folder / "MS-AD_Schema_2K8_R2_Classes.txt", "\n\ncn Top\n");
  SchemaDefinition schema;
  std::string error;
  EXPECT_FALSE(ReadSchemaFiles(folder.string(), &schema, &error));
  EXPECT_EQ(error, "Could not read the schema file '" +
                       (folder / "MS-AD_Schema_2K8_R2_Classes.txt").string() +
                       "'.\nLine 3: expected 'name: value'.");
}

TEST(ReadSchemaFilesTest, ReadsTheInstalledSchema) {
  TESSARY_REQUIRE_PREREQUISITE(
      std::filesystem::exists(std::string(kInstalledFolder) + "/MS-AD_Schema_2K8_R2_Classes.txt"),
      "Microsoft's schema files are not installed (Debian package samba-ad-provision)");
  SchemaDefinition schema;
  std::string error;
  ASSERT_TRUE(ReadSchemaFiles(kInstalledFolder, &schema, &error)) << error;
  EXPECT_GE(schema.attributes.size(), 1300u);
  EXPECT_GE(schema.classes.size(), 230u);
  const AttributeDefinition* account_expires = FindAttribute(schema, "accountExpires");
  ASSERT_NE(account_expires, nullptr);
  EXPECT_EQ(account_expires->om_syntax, 65);
  EXPECT_EQ(account_expires->attribute_syntax, "2.5.5.16");
  EXPECT_EQ(account_expires->search_flags, 0x10) << "fCOPY";
  EXPECT_EQ(account_expires->system_flags, 0x10) << "FLAG_SCHEMA_BASE_OBJECT";
  const ClassDefinition* user = FindClass(schema, "user");
  ASSERT_NE(user, nullptr);
  EXPECT_EQ(user->default_object_category, "Person");
  EXPECT_EQ(FindAttribute(schema, "homeMDB"), nullptr) << "Exchange is not part of these files";
}

// The compiled-in entries are Microsoft's, unchanged: comparing them with the installed files
// catches a generator that drops or alters a field.
TEST(ReadSchemaFilesTest, BuiltinEntriesMatchTheInstalledFiles) {
  TESSARY_REQUIRE_PREREQUISITE(
      std::filesystem::exists(std::string(kInstalledFolder) + "/MS-AD_Schema_2K8_R2_Classes.txt"),
      "Microsoft's schema files are not installed (Debian package samba-ad-provision)");
  SchemaDefinition files;
  std::string error;
  ASSERT_TRUE(ReadSchemaFiles(kInstalledFolder, &files, &error)) << error;
  int compared = 0;
  for (const auto& builtin : BuiltinSchema().attributes) {
    const AttributeDefinition* file = FindAttribute(files, builtin.ldap_display_name);
    if (!file) continue;  // Exchange's own attributes
    SCOPED_TRACE(builtin.ldap_display_name);
    EXPECT_EQ(builtin.cn, file->cn);
    EXPECT_EQ(builtin.attribute_id, file->attribute_id);
    EXPECT_EQ(builtin.attribute_syntax, file->attribute_syntax);
    EXPECT_EQ(builtin.om_syntax, file->om_syntax);
    EXPECT_EQ(builtin.single_valued, file->single_valued);
    EXPECT_EQ(builtin.link_id, file->link_id);
    EXPECT_EQ(builtin.range_lower, file->range_lower);
    EXPECT_EQ(builtin.range_upper, file->range_upper);
    EXPECT_EQ(builtin.schema_id_guid, file->schema_id_guid);
    EXPECT_EQ(builtin.system_flags, file->system_flags);
    EXPECT_EQ(builtin.search_flags, file->search_flags);
    ++compared;
  }
  EXPECT_GE(compared, 250);
  for (const auto& builtin : BuiltinSchema().classes) {
    const ClassDefinition* file = FindClass(files, builtin.ldap_display_name);
    if (!file) continue;
    SCOPED_TRACE(builtin.ldap_display_name);
    EXPECT_EQ(builtin.governs_id, file->governs_id);
    EXPECT_EQ(builtin.system_may_contain, file->system_may_contain);
    EXPECT_EQ(builtin.must_contain, file->must_contain);
  }
}

TEST(ReadSchemaFilesTest, ExchangeExtrasJoinTheFullSchema) {
  TESSARY_REQUIRE_PREREQUISITE(
      std::filesystem::exists(std::string(kInstalledFolder) + "/MS-AD_Schema_2K8_R2_Classes.txt"),
      "Microsoft's schema files are not installed (Debian package samba-ad-provision)");
  SchemaDefinition schema;
  std::string error;
  ASSERT_TRUE(ReadSchemaFiles(kInstalledFolder, &schema, &error)) << error;
  AddExchangeSchema(&schema);
  EXPECT_NE(FindAttribute(schema, "homeMDB"), nullptr);
  EXPECT_NE(FindClass(schema, "msExchStorageGroup"), nullptr);
  const ClassDefinition* user = FindClass(schema, "user");
  ASSERT_NE(user, nullptr);
  EXPECT_NE(
      std::find(user->auxiliary_class.begin(), user->auxiliary_class.end(), "msExchMailStorage"),
      user->auxiliary_class.end());
}

}  // namespace
}  // namespace tessary::ds::embedded
