#include "export/definition_files.h"

#include <gtest/gtest.h>

#include "export_fixture.h"

namespace tessary::testing {
namespace {

std::vector<std::string> Keys(const SchemaRecordMap& map) {
  std::vector<std::string> keys;
  for (const auto& [key, record] : map) keys.push_back(key);
  return keys;
}

class DefinitionFilesTest : public ExportTest {
 protected:
  std::string ClassFile() const { return Path(kObjectTypesFileName); }
  std::string AttributeFile() const { return Path(kAttributeDefinitionsFileName); }
};

TEST(DefinitionFilePath, IsTheProgramFolderAndTheName) {
  EXPECT_EQ(DefinitionFilePath("/opt/brenvik/", "TYExpDef.dat"), "/opt/brenvik/TYExpDef.dat");
  EXPECT_EQ(DefinitionFilePath("/opt/brenvik", "TYAttsDef.dat"), "/opt/brenvik/TYAttsDef.dat");
  EXPECT_EQ(DefinitionFilePath("", "TYExpDef.dat"), "TYExpDef.dat");
}

TEST_F(DefinitionFilesTest, WithoutTheClassFileTheFiveDefaultClassesAreOffered) {
  SchemaRecordMap types;
  ReadObjectTypes(*domain_, ClassFile(), &types);
  EXPECT_EQ(Keys(types), (std::vector<std::string>{"Computer", "Contact", "Group",
                                                   "Organizational-Unit", "User"}));
  EXPECT_EQ(types["User"]->LDAPDisplayName, "user");
}

TEST_F(DefinitionFilesTest, TheFirstWriteStoresTheOfferedClasses) {
  SchemaRecordMap types;
  ReadObjectTypes(*domain_, ClassFile(), &types);
  WriteObjectTypes(ClassFile(), types);
  EXPECT_EQ(FileText(kObjectTypesFileName),
            "Computer\r\nContact\r\nGroup\r\nOrganizational-Unit\r\nUser\r\n");
}

TEST_F(DefinitionFilesTest, AnAddedClassIsOfferedAgainNextTime) {
  SchemaRecordMap types;
  ReadObjectTypes(*domain_, ClassFile(), &types);
  types["Container"] = domain_->FindClassByAdminName("Container");
  ASSERT_NE(types["Container"], nullptr);
  WriteObjectTypes(ClassFile(), types);

  SchemaRecordMap next;
  ReadObjectTypes(*domain_, ClassFile(), &next);
  EXPECT_EQ(Keys(next), (std::vector<std::string>{"Computer", "Contact", "Container", "Group",
                                                  "Organizational-Unit", "User"}));
}

TEST_F(DefinitionFilesTest, NamesWithoutAClassAndBlankLinesAreSkipped) {
  WriteFileText(ClassFile(), "User\r\nNo-Such-Class\r\n\r\nGroup");
  SchemaRecordMap types;
  ReadObjectTypes(*domain_, ClassFile(), &types);
  EXPECT_EQ(Keys(types), (std::vector<std::string>{"Group", "User"}));
}

TEST_F(DefinitionFilesTest, WithoutTheAttributeFileOnlyTheChosenAttributesAreListed) {
  ASSERT_TRUE(domain_->LoadClassAttributes("User")) << domain_->Error().Text();
  SchemaRecordMap attributes;
  ReadAttributeDefinitions(*domain_, AttributeFile(), {}, &attributes);
  EXPECT_TRUE(attributes.empty());
  ReadAttributeDefinitions(*domain_, AttributeFile(), {"E-mail-Addresses"}, &attributes);
  ASSERT_EQ(Keys(attributes), (std::vector<std::string>{"E-mail-Addresses"}));
  EXPECT_EQ(attributes["E-mail-Addresses"]->LDAPDisplayName, "mail");
}

TEST_F(DefinitionFilesTest, AnAttributeTheClassLacksIsNotListed) {
  ASSERT_TRUE(domain_->LoadClassAttributes("Group")) << domain_->Error().Text();
  WriteFileText(AttributeFile(), "Given-Name\r\nDescription\r\n");
  SchemaRecordMap attributes;
  ReadAttributeDefinitions(*domain_, AttributeFile(), {}, &attributes);
  EXPECT_EQ(Keys(attributes), (std::vector<std::string>{"Description"}));
}

TEST_F(DefinitionFilesTest, TheAttributeFileIsNotCreatedByARun) {
  WriteAttributeDefinitions(AttributeFile(), {"E-mail-Addresses"});
  EXPECT_FALSE(std::filesystem::exists(AttributeFile()));
}

TEST_F(DefinitionFilesTest, TheAttributeFileOnlyGrows) {
  WriteFileText(AttributeFile(), "Telephone-Number\r\n\r\nDescription\r\n");
  WriteAttributeDefinitions(AttributeFile(), {"E-mail-Addresses", "Description"});
  EXPECT_EQ(FileText(kAttributeDefinitionsFileName),
            "Description\r\nE-mail-Addresses\r\nTelephone-Number\r\n");
  WriteAttributeDefinitions(AttributeFile(), {});
  EXPECT_EQ(FileText(kAttributeDefinitionsFileName),
            "Description\r\nE-mail-Addresses\r\nTelephone-Number\r\n");
}

}  // namespace
}  // namespace tessary::testing
