// The import task through the wizard on the scripted hosts: the import file page's check, the
// pages a file that creates users adds, the verify columns page, the run with its finish page,
// and the choices the run stores for the next wizard.
#include <gtest/gtest.h>

#include <filesystem>

#include "pages_fixture.h"

namespace tessary::testing {
namespace {

namespace fs = std::filesystem;
using namespace app;
using platform::DialogDriver;

class ImportPagesTest : public PagesTest {
 protected:
  void WriteImportFile(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    WriteFileText(Path("Import.csv"), text);
  }
};

TEST_F(ImportPagesTest, AFileThatCreatesUsersAsksForMailboxesAndAccountsThenImports) {
  WriteImportFile({"mode,distinguishedName,sAMAccountName,description",
                   "Create,\"CN=Cy," + std::string(kStaff) + "\",cy1,new",
                   "Modify,\"CN=Nobody," + std::string(kStaff) + "\",nb1,gone"});
  ui_.QueueDialog([&](DialogDriver& d) {
    StartTask(d, kIdTaskImport);
    ASSERT_EQ(d.PageTemplate(), kImportFilePage);
    // The default import file is the working folder's "Import.csv".
    EXPECT_EQ(d.Text(kIdPath), Path("Import.csv"));
    d.Click(kIdUseAsDefault);
    d.Press(kIdNext);

    ASSERT_EQ(d.PageTemplate(), kMailboxPage);
    EXPECT_TRUE(d.Checked(kIdMailboxNo));
    d.Press(kIdNext);
    ASSERT_EQ(d.PageTemplate(), kAccountSettingsPage);
    // No passwords in the file: nobody can be made to change one.
    EXPECT_FALSE(d.Enabled(kIdMustChangePassword));
    d.Click(kIdAccountDisabled);
    d.Press(kIdNext);

    ASSERT_EQ(d.PageTemplate(), kVerifyColumnsPage);
    EXPECT_EQ(d.Lines(kIdColumnList), (std::vector<std::string>{"Description", "distinguishedName",
                                                                "mode", "SAM-Account-Name"}));
    EXPECT_TRUE(d.Checked(kIdAppendValues));
    d.Press(kIdNext);

    ASSERT_EQ(d.PageTemplate(), kErrorFolderPage);
    EXPECT_EQ(d.Text(kIdPath), Path(""));
    EXPECT_EQ(d.Text(kIdUseAsDefault), "Use the above location as the default path for error files.");
    d.Click(kIdUseAsDefault);
    d.Press(kIdNext);

    ASSERT_EQ(d.PageTemplate(), kImportFinishPage);
    EXPECT_TRUE(d.Enabled(kIdViewErrorLog));  // the Modify of nobody failed
    EXPECT_GT(d.Lines(kIdDetails).size(), 1u);
    d.Press(kIdFinish);
  });
  ASSERT_EQ(RunPreparedWizard(), platform::kIdOk);
  EXPECT_EQ(progress_.Shown().template_id, kImportProgress);
  EXPECT_TRUE(ui_.Messages().empty());

  // The next wizard starts from what the run stored.
  ui_.QueueDialog([&](DialogDriver& d) {
    StartTask(d, kIdTaskImport);
    EXPECT_TRUE(d.Checked(kIdUseAsDefault));
    WriteImportFile({"mode,distinguishedName,description",
                     "Modify,\"CN=Cy," + std::string(kStaff) + "\",changed"});
    d.Press(kIdNext);
    // A file that creates nobody goes straight to its columns.
    ASSERT_EQ(d.PageTemplate(), kVerifyColumnsPage);
    d.Click(kIdOverwriteValues);
    d.Press(kIdNext);
    EXPECT_TRUE(d.Checked(kIdUseAsDefault));
    d.Press(kIdNext);
    ASSERT_EQ(d.PageTemplate(), kImportFinishPage);
    EXPECT_FALSE(d.Enabled(kIdViewErrorLog));
    d.Press(kIdFinish);
  });
  ASSERT_EQ(RunPreparedWizard(), platform::kIdOk);
  EXPECT_TRUE(ui_.Problems().empty()) << ::testing::PrintToString(ui_.Problems());
}

TEST_F(ImportPagesTest, AFileTheCheckRefusesKeepsThePageWithTheEnginesMessage) {
  WriteImportFile({"mode,distinguishedName,noSuchThing", "Create,CN=A,x"});
  ui_.QueueDialog([&](DialogDriver& d) {
    StartTask(d, kIdTaskImport);
    d.Press(kIdNext);
    EXPECT_EQ(d.PageTemplate(), kImportFilePage);
    ASSERT_TRUE(d.Type(kIdPath, Path("missing.csv")));
    d.Press(kIdNext);
    EXPECT_EQ(d.PageTemplate(), kImportFilePage);
    d.Press(kIdCancel);
  });
  EXPECT_EQ(RunPreparedWizard(), platform::kIdCancel);
  ASSERT_EQ(ui_.Messages().size(), 2u);
  EXPECT_TRUE(ui_.Messages()[0].text.starts_with(
      "Could not retrieve information about the attribute 'noSuchThing'."))
      << ui_.Messages()[0].text;
  EXPECT_EQ(ui_.Messages()[0].type & 0xF0, platform::kMbIconStop);
  EXPECT_NE(ui_.Messages()[1].text.find(Path("missing.csv")), std::string::npos)
      << ui_.Messages()[1].text;
}

TEST_F(ImportPagesTest, AnErrorFolderThatCannotBeMadeKeepsThePageAndImportsNothing) {
  WriteImportFile({"mode,distinguishedName,description",
                   "Modify,\"" + std::string(kStaff) + "\",changed"});
  WriteFileText(Path("plain-file"), "x");
  ui_.QueueDialog([&](DialogDriver& d) {
    StartTask(d, kIdTaskImport);
    d.Press(kIdNext);
    d.Press(kIdNext);
    ASSERT_EQ(d.PageTemplate(), kErrorFolderPage);
    ui_.QueueFolder(Path("plain-file/errors"));
    d.Press(kIdBrowse);
    d.Press(kIdNext);
    EXPECT_EQ(d.PageTemplate(), kErrorFolderPage);
    d.Press(kIdCancel);
  });
  EXPECT_EQ(RunPreparedWizard(), platform::kIdCancel);
  ASSERT_EQ(ui_.Messages().size(), 1u);
  EXPECT_EQ(ui_.Messages()[0].type & 0xF0, platform::kMbIconStop);
  EXPECT_EQ(StatusCount("Processing 1 of 1..."), 0);
}

}  // namespace
}  // namespace tessary::testing
