// The Import Attributes dialog's reading of files: which columns become attributes, what it says
// about the others, and its OK with nothing found.
#include "import/import_attribute_list.h"

#include <gtest/gtest.h>

#include "directory_import_fixture.h"
#include "platform/ui/scripted_ui_host.h"

namespace tessary::testing {
namespace {

constexpr unsigned kStop = platform::kMbIconStop | platform::kMbOk;
constexpr unsigned kExclamation = platform::kMbIconExclamation | platform::kMbOk;

class ImportAttributeListTest : public DirectoryImportTest {
 protected:
  void SetUp() override {
    DirectoryImportTest::SetUp();
    platform::SetUiHost(&ui_);
  }
  void TearDown() override {
    platform::SetUiHost(nullptr);
    DirectoryImportTest::TearDown();
  }
  std::string FilePath(const std::string& name) const { return (machine_.Root() / name).string(); }

  platform::ScriptedUiHost ui_;
};

TEST_F(ImportAttributeListTest, AnImportFilesAttributesAreItsOrdinaryColumnsWithCnAndMemberOf) {
  WriteLines(FilePath("a.csv"), {"mode,objectGUID,distinguishedName,cn,mail,memberOf,password",
                                 "Create,,x,y,z,,"});
  CImportAttributeList list(*adapter_);
  list.AddFile(FilePath("a.csv"));
  std::vector<std::string> names;
  for (const CImportColumn& column : list.Attributes()) names.push_back(column.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"cn", "mail", "memberOf"}));
  EXPECT_EQ(list.Attributes()[1].AdminDisplayName, "E-mail-Addresses");
  EXPECT_EQ(list.Attributes()[1].SchemaEntryDN,
            "CN=E-mail-Addresses," + adapter_->SchemaNamingContext());
  EXPECT_TRUE(ui_.Messages().empty());

  // An error file of the same import: its message column is no attribute. Files add up.
  WriteLines(FilePath("errors.csv"), {"mode,distinguishedName,Given-Name,Error", "a,b,c,d"});
  list.AddFile(FilePath("errors.csv"));
  ASSERT_EQ(list.Attributes().size(), 4u);
  EXPECT_EQ(list.Attributes()[3].Name, "givenName");
  EXPECT_TRUE(list.Accept());
  list.Clear();
  EXPECT_FALSE(list.Accept());
  ASSERT_EQ(ui_.Messages().size(), 1u);
  EXPECT_EQ(ui_.Messages()[0].text,
            "You must import attributes before clicking OK.  To close this window without "
            "importing any attributes, click Cancel.");
  EXPECT_EQ(ui_.Messages()[0].type, kStop);
}

TEST_F(ImportAttributeListTest, ColumnsTheSchemaLacksAreNamedAndNothingFoundIsSaid) {
  WriteLines(FilePath("some.csv"), {"description,noSuchThing,sn"});
  WriteLines(FilePath("special.csv"), {"mode,distinguishedName,container,accountDisabled"});
  WriteLines(FilePath("unknown.csv"), {"noSuchThing"});
  WriteLines(FilePath("empty.csv"), {});
  CImportAttributeList list(*adapter_);
  list.AddFile(FilePath("some.csv"));
  EXPECT_EQ(list.Attributes().size(), 2u);
  list.AddFile(FilePath("special.csv"));
  list.AddFile(FilePath("unknown.csv"));
  list.AddFile(FilePath("empty.csv"));
  list.AddFile(FilePath("missing.csv"));
  EXPECT_EQ(list.Attributes().size(), 2u);
  ASSERT_EQ(ui_.Messages().size(), 5u);
  EXPECT_EQ(ui_.Messages()[0].text, "Could not import the following attributes:\n\nnoSuchThing");
  EXPECT_EQ(ui_.Messages()[0].type, kExclamation);
  EXPECT_EQ(ui_.Messages()[1].text,
            "Could not import any attributes.\n\nNo attributes were found to import.");
  EXPECT_EQ(ui_.Messages()[1].type, kStop);
  EXPECT_EQ(ui_.Messages()[2].text, "Could not import any attributes.\n\nnoSuchThing");
  EXPECT_EQ(ui_.Messages()[3].text,
            "The file '" + FilePath("empty.csv") + "' appears to be empty.");
  EXPECT_EQ(ui_.Messages()[4].type, kStop);
}

TEST_F(ImportAttributeListTest, SelectFileReadsTheChosenFileAndACancelReadsNothing) {
  WriteLines(FilePath("a.csv"), {"mode,distinguishedName,description"});
  ui_.QueueOpenFile(std::nullopt);
  ui_.QueueOpenFile(FilePath("a.csv"));
  CImportAttributeList list(*adapter_);
  list.SelectFile(nullptr);
  EXPECT_TRUE(list.Attributes().empty());
  list.SelectFile(nullptr);
  ASSERT_EQ(list.Attributes().size(), 1u);
  ASSERT_EQ(ui_.FileRequests().size(), 2u);
  EXPECT_EQ(ui_.FileRequests()[1].default_extension, "csv");
  EXPECT_EQ(ui_.FileRequests()[1].filters, (std::vector<std::string>{"(*.csv)|*.csv"}));
}

}  // namespace
}  // namespace tessary::testing
