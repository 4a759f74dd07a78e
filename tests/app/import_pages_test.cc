// The import task's pages over a fresh embedded directory: the import file page's check, the
// verify-columns rows, the run behind its progress dialog with the choices it stores for the
// next wizard.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/import_choices.h"
#include "directory_import_fixture.h"
#include "platform/ui/scripted_ui_host.h"
#include "support/bvk_progress_scripted_host.h"

namespace tessary::testing {
namespace {

namespace fs = std::filesystem;

constexpr unsigned kStop = platform::kMbIconStop | platform::kMbOk;

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

}  // namespace
}  // namespace tessary::testing
