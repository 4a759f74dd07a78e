// The import task's pages over a fresh embedded directory: the import file page's check, the
// verify-columns rows, the run behind its progress dialog with the choices it stores for the
// next wizard, and the Import Attributes dialog's reading of a file's columns.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/import_choices.h"
#include "directory_import_fixture.h"
#include "import/import_attribute_list.h"
#include "platform/ui/scripted_ui_host.h"
#include "support/bvk_progress_scripted_host.h"

namespace tessary::testing {
namespace {

namespace fs = std::filesystem;

constexpr unsigned kStop = platform::kMbIconStop | platform::kMbOk;
constexpr unsigned kExclamation = platform::kMbIconExclamation | platform::kMbOk;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

class ImportPagesTest : public DirectoryImportTest {
 protected:
  void SetUp() override {
    DirectoryImportTest::SetUp();
    platform::SetUiHost(&ui_);
  }
  void TearDown() override {
    platform::SetUiHost(nullptr);
    DirectoryImportTest::TearDown();
  }

  void WriteImportFile(const std::vector<std::string>& lines) {
    WriteLines(engine_->ImportFile, lines);
  }
  std::string FilePath(const std::string& name) const { return (machine_.Root() / name).string(); }

  void ExpectMessages(const std::vector<std::pair<std::string, unsigned>>& expected) {
    std::vector<std::pair<std::string, unsigned>> shown;
    for (const auto& message : ui_.Messages()) shown.emplace_back(message.text, message.type);
    EXPECT_EQ(shown, expected);
  }

  platform::ScriptedUiHost ui_;
  ScriptedProgressHost progress_;
};

// --- The import file page and the pages it leads to.

TEST_F(ImportPagesTest, AFileTheCheckRefusesKeepsThePageWithTheEnginesMessage) {
  WriteImportFile({"mode,distinguishedName,noSuchThing", "Create," + Quoted(Dn("A")) + ",x"});
  CImportChoices choices(*engine_, progress_);
  EXPECT_FALSE(choices.LeaveImportFile());
  ASSERT_EQ(ui_.Messages().size(), 1u);
  EXPECT_TRUE(ui_.Messages()[0].text.starts_with(
      "Could not retrieve information about the attribute 'noSuchThing'.\n"))
      << ui_.Messages()[0].text;
  EXPECT_EQ(ui_.Messages()[0].type, kStop);

  // A line with a DN outside any domain fails the validation the same way.
  WriteImportFile({"mode,distinguishedName,description", "Modify,CN=A,x"});
  EXPECT_FALSE(choices.LeaveImportFile());
  ASSERT_EQ(ui_.Messages().size(), 2u);
  EXPECT_EQ(ui_.Messages()[1].text, engine_->Error().Text());
}

TEST_F(ImportPagesTest, TheColumnsOfACheckedFileAreListedByDisplayName) {
  WriteImportFile({"mode,distinguishedName,sAMAccountName,description,password",
                   "Create," + Quoted(Dn("Ann")) + "," + Unique("ann") + ",x,Pa55word!x"});
  CImportChoices choices(*engine_, progress_);
  ASSERT_TRUE(choices.LeaveImportFile());
  EXPECT_EQ(choices.ColumnNames, (std::vector<std::string>{"mode", "distinguishedName",
                                                           "sAMAccountName", "description",
                                                           "password"}));
  const CAttributeList rows = choices.ColumnRows();
  std::vector<std::pair<std::string, std::string>> shown;
  for (const AttributeRow& row : rows.Rows()) {
    shown.emplace_back(row.AdminDisplayName, row.LDAPName);
    EXPECT_FALSE(row.Checked);
  }
  EXPECT_EQ(shown, (std::vector<std::pair<std::string, std::string>>{
                       {"Description", "description"},
                       {"distinguishedName", "distinguishedName"},
                       {"mode", "mode"},
                       {"password", "password"},
                       {"SAM-Account-Name", "sAMAccountName"}}));
  EXPECT_TRUE(engine_->CreatesUsers);
  EXPECT_TRUE(choices.MustChangePasswordEnabled());

  WriteImportFile({"mode,distinguishedName,description", "Modify," + Quoted(Dn("Ann")) + ",y"});
  ASSERT_TRUE(choices.LeaveImportFile());
  EXPECT_FALSE(engine_->CreatesUsers);
  EXPECT_FALSE(choices.MustChangePasswordEnabled());
  EXPECT_EQ(choices.ColumnRows().Count(), 3);
}

TEST_F(ImportPagesTest, AnErrorFolderThatCannotBeMadeKeepsThePageAndImportsNothing) {
  WriteImportFile({"mode,distinguishedName,sAMAccountName",
                   "Create," + Quoted(Dn("Ann")) + "," + Unique("ann")});
  CImportChoices choices(*engine_, progress_);
  ASSERT_TRUE(choices.LeaveImportFile());
  WriteFileText(machine_.Root() / "plain-file", "x");
  engine_->ErrorFolder = FilePath("plain-file") + "/errors";
  EXPECT_EQ(choices.RunImport(), 0);
  ASSERT_EQ(ui_.Messages().size(), 1u);
  EXPECT_EQ(ui_.Messages()[0].type, kStop);
  EXPECT_FALSE(Exists(Dn("Ann")));
}

TEST_F(ImportPagesTest, TheRunImportsStoresTheChoicesAndTheNextWizardStartsFromThem) {
  WriteImportFile({"mode,distinguishedName,sAMAccountName,description",
                   "Create," + Quoted(Dn("Ann")) + "," + Unique("ann") + ",first",
                   "Modify," + Quoted(Dn("Nobody")) + "," + Unique("nb") + ",second"});
  CImportChoices choices(*engine_, progress_);
  ASSERT_TRUE(choices.LeaveImportFile());
  engine_->NewAccountDisabled = true;
  engine_->PasswordNeverExpires = true;
  engine_->RememberImportFile = true;
  engine_->RememberErrorFolder = true;
  engine_->ErrorFolder = FilePath("new-errors");  // made by the run, given without its '/'
  ASSERT_EQ(choices.RunImport(), 1);
  EXPECT_EQ(progress_.Shown().template_id, 201);
  EXPECT_EQ(engine_->ErrorCount, 1);
  EXPECT_TRUE(fs::exists(engine_->ErrorFilePath));
  EXPECT_TRUE(engine_->ErrorFilePath.starts_with(FilePath("new-errors") + "/"));
  EXPECT_EQ(Value(Dn("Ann"), "description"), "first");
  EXPECT_NE(engine_->Error().Text().find('\n'), std::string::npos);

  CImportEngine next(adapter_.get());
  EXPECT_EQ(next.ImportFile, engine_->ImportFile);
  EXPECT_EQ(next.ErrorFolder, FilePath("new-errors") + "/");
  EXPECT_TRUE(next.NewAccountDisabled);
  EXPECT_TRUE(next.PasswordNeverExpires);
  EXPECT_TRUE(next.RememberImportFile);
  EXPECT_TRUE(next.RememberErrorFolder);
  EXPECT_FALSE(next.CreateMailboxes);
  EXPECT_TRUE(next.MustChangePassword);
}

// --- The Import Attributes dialog.

TEST_F(ImportPagesTest, AnImportFilesAttributesAreItsOrdinaryColumnsWithCnAndMemberOf) {
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
  EXPECT_EQ(list.Attributes().size(), 4u);
  EXPECT_EQ(list.Attributes()[3].Name, "givenName");
  EXPECT_TRUE(list.Accept());
  list.Clear();
  EXPECT_FALSE(list.Accept());
  ExpectMessages({{"You must import attributes before clicking OK.  To close this window "
                   "without importing any attributes, click Cancel.",
                   kStop}});
}

TEST_F(ImportPagesTest, ColumnsTheSchemaLacksAreNamedAndNothingFoundIsSaid) {
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
  EXPECT_EQ(ui_.Messages()[3].text, "The file '" + FilePath("empty.csv") + "' appears to be empty.");
  EXPECT_EQ(ui_.Messages()[4].type, kStop);
}

TEST_F(ImportPagesTest, SelectFileReadsTheChosenFileAndACancelReadsNothing) {
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
