// The export and header tasks through the wizard on the scripted hosts: every page's offer,
// check and message, the files (the same bytes the command line writes), and what one wizard
// leaves for the next: settings in the user's hive, the definition files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "pages_fixture.h"
#include "support/bvk_registry.h"
#include "support/settings_store.h"

namespace tessary::testing {
namespace {

namespace fs = std::filesystem;
using namespace app;
using platform::DialogDriver;

constexpr unsigned kStop = platform::kMbIconStop;
constexpr unsigned kExclamation = platform::kMbIconExclamation;

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::string SelectedLine(DialogDriver& d, int control_id) {
  const platform::ControlState* state = d.State(control_id);
  if (!state || state->selection < 0) return {};
  return state->rows[state->selection].texts[0];
}

std::vector<std::string> CheckedNames(DialogDriver& d, int control_id) {
  std::vector<std::string> names;
  for (const platform::ListRow& row : d.State(control_id)->rows) {
    if (row.checked) names.push_back(row.texts[1]);
  }
  return names;
}

class ExportPagesTest : public PagesTest {
 protected:
  void ExpectMessage(std::size_t index, const std::string& text, unsigned icon) {
    ASSERT_GT(ui_.Messages().size(), index);
    EXPECT_EQ(ui_.Messages()[index].text, text);
    EXPECT_EQ(ui_.Messages()[index].type & 0xF0, icon);
    EXPECT_EQ(ui_.Messages()[index].owner_title, CTaskWizard::kFrameTitle);
  }
  std::string Stored(const char* name) {
    CBVKRegistry registry;
    std::string text;
    EXPECT_TRUE(registry.OpenKey(HKEY_CURRENT_USER, kSettingsKey));
    (void)registry.ReadString(name, &text, "<none>", CBVKRegistry::Required::No);
    return text;
  }
};

TEST_F(ExportPagesTest, AnExportWritesTheCommandLinesFileAndTheNextWizardStartsFromItsChoices) {
  AddUser("Ann", "first");
  AddUser("Bob", "second, with a comma");
  fs::create_directories(ProgramFolder());
  WriteFileText(ProgramFolder() + "TYAttsDef.dat", "");
  ui_.QueueDialog([&](DialogDriver& d) {
    StartTask(d, kIdTaskExport);
    ASSERT_EQ(d.PageTemplate(), kObjectTypePage);
    EXPECT_EQ(d.Lines(kIdList), (std::vector<std::string>{"Computer", "Contact", "Group",
                                                          "Organizational-Unit", "User"}));
    ASSERT_TRUE(d.SelectText(kIdList, "User"));
    d.Press(kIdNext);

    ASSERT_EQ(d.PageTemplate(), kContainerPage);
    const int staff = d.FindItem(kIdTree, {"example.com", "Staff"});
    ASSERT_NE(staff, 0);
    EXPECT_EQ(d.State(kIdTree)->selection, 0);
    ASSERT_TRUE(d.SelectItem(kIdTree, staff));
    d.Click(kIdIncludeSubcontainers);
    d.Press(kIdNext);

    ASSERT_EQ(d.PageTemplate(), kAttributesPage);
    EXPECT_TRUE(d.Lines(kIdAttributeList).empty());
    EXPECT_EQ(d.Text(kIdQuestion), "Which attributes do you want to export?");
    ASSERT_TRUE(d.Press(kIdShowAll));
    EXPECT_FALSE(d.Enabled(kIdShowAll));
    EXPECT_EQ(RowOf(d, kIdAttributeList, "tokenGroups"), -1);
    ASSERT_TRUE(d.CheckRow(kIdAttributeList, RowOf(d, kIdAttributeList, "sAMAccountName"), true));
    ASSERT_TRUE(d.CheckRow(kIdAttributeList, RowOf(d, kIdAttributeList, "description"), true));
    d.Press(kIdNext);

    ASSERT_EQ(d.PageTemplate(), kOutputFilePage);
    EXPECT_EQ(d.Text(kIdTitle), "Choose Output File");
    // Changed only through "&Browse...".
    EXPECT_TRUE(d.State(kIdPath)->style & platform::kStyleReadOnly);
    ui_.QueueSaveFile(Path("wizard.csv"));
    d.Press(kIdBrowse);
    EXPECT_EQ(d.Text(kIdPath), Path("wizard.csv"));
    d.Click(kIdUseAsDefault);
    d.Press(kIdNext);

    ASSERT_EQ(d.PageTemplate(), kFinishPage);
    EXPECT_TRUE(Contains(d.Lines(kIdDetails), "2 'User' objects were exported."))
        << ::testing::PrintToString(d.Lines(kIdDetails));
    d.Press(kIdFinish);
  });
  ASSERT_EQ(RunPreparedWizard(), platform::kIdOk);
  EXPECT_TRUE(ui_.Messages().empty());

  // The columns come in the list's order: sorted by display name.
  CommandLineExport("User", {"description", "sAMAccountName"}, Path("cli.csv"));
  EXPECT_EQ(FileText(Path("wizard.csv")), FileText(Path("cli.csv")));
  EXPECT_EQ(Stored("Export Class"), "User");
  EXPECT_EQ(Stored("Export Container"), kStaff);
  EXPECT_EQ(Stored("Export File"), Path("wizard.csv"));
  EXPECT_EQ(FileText(ProgramFolder() + "TYExpDef.dat"),
            "Computer\r\nContact\r\nGroup\r\nOrganizational-Unit\r\nUser\r\n");
  EXPECT_EQ(FileText(ProgramFolder() + "TYAttsDef.dat"), "Description\r\nSAM-Account-Name\r\n");

  ui_.QueueDialog([&](DialogDriver& d) {
    StartTask(d, kIdTaskExport);
    EXPECT_EQ(SelectedLine(d, kIdList), "User");
    d.Press(kIdNext);
    EXPECT_EQ(d.State(kIdTree)->selection, d.FindItem(kIdTree, {"example.com", "Staff"}));
    EXPECT_TRUE(d.Checked(kIdIncludeSubcontainers));
    d.Press(kIdNext);
    // The attributes chosen last time are offered first, unchecked.
    EXPECT_EQ(d.Lines(kIdAttributeList),
              (std::vector<std::string>{"Description", "SAM-Account-Name"}));
    EXPECT_TRUE(CheckedNames(d, kIdAttributeList).empty());
    d.Press(kIdNext);
    EXPECT_EQ(d.Text(kIdPath), Path("wizard.csv"));
    EXPECT_TRUE(d.Checked(kIdUseAsDefault));
    d.Press(kIdCancel);
  });
  EXPECT_EQ(RunPreparedWizard(), platform::kIdCancel);
  EXPECT_TRUE(ui_.Problems().empty()) << ::testing::PrintToString(ui_.Problems());
}

TEST_F(ExportPagesTest, EveryPageThatNeedsAChoiceSaysSoAndStays) {
  fs::create_directories(ProgramFolder());
  WriteFileText(ProgramFolder() + "TYExpDef.dat", "No-Such-Class\r\n");
  ui_.QueueDialog([&](DialogDriver& d) {
    StartTask(d, kIdTaskExport);
    EXPECT_TRUE(d.Lines(kIdList).empty());
    d.Press(kIdNext);
    EXPECT_EQ(d.PageTemplate(), kObjectTypePage);
    // Another type of object, chosen in dialog 136, goes to the top of the list.
    ui_.QueueDialog([&](DialogDriver& other) {
      EXPECT_TRUE(Contains(other.Lines(kIdList), "Container"));
      ASSERT_TRUE(other.SelectText(kIdList, "User"));
      other.Press(platform::kIdOk);
    });
    d.Press(kIdOtherClass);
    EXPECT_EQ(d.Lines(kIdList), (std::vector<std::string>{"User"}));
    EXPECT_EQ(SelectedLine(d, kIdList), "User");
    d.Press(kIdNext);

    ASSERT_EQ(d.PageTemplate(), kContainerPage);
    d.Press(kIdNext);
    EXPECT_EQ(d.PageTemplate(), kContainerPage);
    d.Press(kIdChangeDomain);
    EXPECT_NE(d.FindItem(kIdTree, {"example.com", "Staff"}), 0);
    ASSERT_TRUE(d.SelectItem(kIdTree, d.FindItem(kIdTree, {"example.com"})));
    d.Press(kIdNext);

    ASSERT_EQ(d.PageTemplate(), kAttributesPage);
    d.Press(kIdNext);
    EXPECT_EQ(d.PageTemplate(), kOutputFilePage);
    d.Press(kIdCancel);
  });
  EXPECT_EQ(RunPreparedWizard(), platform::kIdCancel);
  ExpectMessage(0, "You must select the type of object to export.", kStop);
  ExpectMessage(1, "You must select a container.", kStop);
  ExpectMessage(2, "No other domains were found.", kStop);
  ExpectMessage(3,
                "Note: You have not selected any attributes.\nThe export file will only contain "
                "the distinguished name and object GUID for each object.",
                kExclamation);
  EXPECT_EQ(ui_.Messages().size(), 4u);
  EXPECT_EQ(StatusCount("Enumerating domains..."), 1);
  EXPECT_TRUE(ui_.Problems().empty()) << ::testing::PrintToString(ui_.Problems());
}

TEST_F(ExportPagesTest, BackKeepsTheAttributesAndAnotherClassKeepsThoseItHas) {
  ui_.QueueDialog([&](DialogDriver& d) {
    StartTask(d, kIdTaskExport);
    d.SelectText(kIdList, "User");
    d.Press(kIdNext);
    d.SelectItem(kIdTree, d.FindItem(kIdTree, {"example.com", "Staff"}));
    d.Press(kIdNext);
    d.Press(kIdShowAll);
    d.CheckRow(kIdAttributeList, RowOf(d, kIdAttributeList, "description"), true);
    d.CheckRow(kIdAttributeList, RowOf(d, kIdAttributeList, "userAccountControl"), true);
    d.Press(kIdBack);
    d.Press(kIdNext);
    EXPECT_EQ(CheckedNames(d, kIdAttributeList),
              (std::vector<std::string>{"description", "userAccountControl"}));
    // A group has a description but no account control.
    d.Press(kIdBack);
    d.Press(kIdBack);
    d.SelectText(kIdList, "Group");
    d.Press(kIdNext);
    d.Press(kIdNext);
    EXPECT_EQ(CheckedNames(d, kIdAttributeList), (std::vector<std::string>{"description"}));
    d.Press(kIdShowAll);
    EXPECT_NE(RowOf(d, kIdAttributeList, "member"), -1);
    EXPECT_EQ(RowOf(d, kIdAttributeList, "userAccountControl"), -1);
    // Sorting: by a column, then the same column reversed.
    d.ClickColumn(kIdAttributeList, 1);
    const std::vector<std::string> ascending = d.Lines(kIdAttributeList);
    d.ClickColumn(kIdAttributeList, 1);
    std::vector<std::string> descending = d.Lines(kIdAttributeList);
    std::reverse(descending.begin(), descending.end());
    EXPECT_EQ(ascending, descending);
    d.Press(kIdSelectAll);
    EXPECT_EQ(CheckedNames(d, kIdAttributeList).size(), ascending.size());
    d.Press(kIdDeselectAll);
    EXPECT_TRUE(CheckedNames(d, kIdAttributeList).empty());
    d.Press(kIdCancel);
  });
  EXPECT_EQ(RunPreparedWizard(), platform::kIdCancel);
  EXPECT_TRUE(ui_.Messages().empty());
  EXPECT_TRUE(ui_.Problems().empty()) << ::testing::PrintToString(ui_.Problems());
}

TEST_F(ExportPagesTest, AHeaderFileTakesTheAttributesOfAnotherFileAndKeepsTheExportChoices) {
  {
    CBVKRegistry registry;
    ASSERT_TRUE(registry.OpenKey(HKEY_CURRENT_USER, kSettingsKey));
    ASSERT_TRUE(registry.WriteString("Export File", "/kept/Export.csv"));
  }
  WriteFileText(Path("old.csv"), "mode,distinguishedName,givenName,noSuchThing,sn\r\n");
  ui_.QueueDialog([&](DialogDriver& d) {
    StartTask(d, kIdTaskHeader);
    EXPECT_EQ(d.Text(kIdInstruction),
              "Select the type of object you would like to create a header file for, and then "
              "click Next.");
    d.SelectText(kIdList, "User");
    d.Press(kIdNext);
    ASSERT_EQ(d.PageTemplate(), kAttributesPage);
    EXPECT_EQ(d.Text(kIdQuestion), "Which attributes do you want to include in your header file?");
    ui_.QueueDialog([&](DialogDriver& dialog) {
      dialog.Press(platform::kIdOk);  // nothing yet: the dialog stays
      EXPECT_FALSE(dialog.Ended());
      ui_.QueueOpenFile(Path("old.csv"));
      dialog.Press(3);
      EXPECT_EQ(dialog.Lines(kIdList), (std::vector<std::string>{"Given-Name", "Surname"}));
      dialog.Press(platform::kIdOk);
    });
    d.Press(kIdUseHeaderFile);
    EXPECT_EQ(CheckedNames(d, kIdAttributeList), (std::vector<std::string>{"givenName", "sn"}));
    d.Press(kIdNext);
    ASSERT_EQ(d.PageTemplate(), kOutputFilePage);
    EXPECT_EQ(d.Text(kIdTitle), "Choose Output Header File");
    EXPECT_EQ(d.Text(kIdPath), Path("Header.csv"));
    ASSERT_TRUE(d.Type(kIdPath, Path("wizard-header.csv")));
    d.Press(kIdNext);
    ASSERT_EQ(d.PageTemplate(), kFinishPage);
    EXPECT_EQ(d.Lines(kIdDetails), (std::vector<std::string>{
                                       "Header file '" + Path("wizard-header.csv") +
                                       "' completed successfully."}));
    d.Press(kIdFinish);
  });
  ASSERT_EQ(RunPreparedWizard(), platform::kIdOk);
  ASSERT_EQ(ui_.Messages().size(), 2u);
  EXPECT_EQ(ui_.Messages()[0].text,
            "You must import attributes before clicking OK.  To close this window without "
            "importing any attributes, click Cancel.");
  EXPECT_EQ(ui_.Messages()[1].text, "Could not import the following attributes:\n\nnoSuchThing");
  CommandLineHeader("User", {"givenName", "sn"}, Path("cli-header.csv"));
  EXPECT_EQ(FileText(Path("wizard-header.csv")), FileText(Path("cli-header.csv")));
  EXPECT_EQ(Stored("Export File"), "/kept/Export.csv");
  EXPECT_TRUE(fs::exists(ProgramFolder() + "TYExpDef.dat"));
  EXPECT_TRUE(ui_.Problems().empty()) << ::testing::PrintToString(ui_.Problems());
}

TEST_F(ExportPagesTest, AnAddedClassStaysOfferedAndAFileNotToBeRememberedIsNot) {
  {
    CBVKRegistry registry;
    ASSERT_TRUE(registry.OpenKey(HKEY_CURRENT_USER, kSettingsKey));
    ASSERT_TRUE(registry.WriteString("Export File", "/kept/Export.csv"));
  }
  AddUser("Ann", "first");
  ui_.QueueDialog([&](DialogDriver& d) {
    StartTask(d, kIdTaskExport);
    ui_.QueueDialog([&](DialogDriver& other) {
      ASSERT_TRUE(other.SelectText(kIdList, "Container"));
      other.Press(platform::kIdOk);
    });
    d.Press(kIdOtherClass);
    EXPECT_EQ(d.Lines(kIdList).front(), "Container");
    d.SelectText(kIdList, "User");
    d.Press(kIdNext);
    d.SelectItem(kIdTree, d.FindItem(kIdTree, {"example.com", "Staff"}));
    d.Press(kIdNext);
    d.Press(kIdNext);  // nothing checked: a note, and on
    EXPECT_FALSE(d.Checked(kIdUseAsDefault));
    ui_.QueueSaveFile(Path("once.csv"));
    d.Press(kIdBrowse);
    d.Press(kIdNext);
    ASSERT_EQ(d.PageTemplate(), kFinishPage);
    d.Press(kIdFinish);
  });
  ASSERT_EQ(RunPreparedWizard(), platform::kIdOk);
  EXPECT_TRUE(FileText(Path("once.csv")).starts_with("distinguishedName,objectGUID\r\n"));
  EXPECT_EQ(Stored("Export File"), "/kept/Export.csv");
  EXPECT_EQ(FileText(ProgramFolder() + "TYExpDef.dat"),
            "Computer\r\nContact\r\nContainer\r\nGroup\r\nOrganizational-Unit\r\nUser\r\n");
  // Without the attribute file the program never makes one.
  EXPECT_FALSE(fs::exists(ProgramFolder() + "TYAttsDef.dat"));

  ui_.QueueDialog([&](DialogDriver& d) {
    StartTask(d, kIdTaskHeader);
    EXPECT_TRUE(Contains(d.Lines(kIdList), "Container"));
    d.SelectText(kIdList, "User");
    d.Press(kIdNext);
    d.Press(kIdNext);
    d.Type(kIdPath, Path("header.csv"));
    d.Press(kIdNext);
    ASSERT_EQ(d.PageTemplate(), kFinishPage);
    d.Press(kIdFinish);
  });
  ASSERT_EQ(RunPreparedWizard(), platform::kIdOk);
  EXPECT_EQ(FileText(Path("header.csv")), "distinguishedName,objectGUID\r\n");
  ASSERT_EQ(ui_.Messages().size(), 2u);
  ExpectMessage(0,
                "Note: You have not selected any attributes.\nThe export file will only contain "
                "the distinguished name and object GUID for each object.",
                kExclamation);
  ExpectMessage(1,
                "Note: You have not selected any attributes.\nThe export file will only contain "
                "the distinguished name and object GUID column headers.",
                kExclamation);
  EXPECT_TRUE(ui_.Problems().empty()) << ::testing::PrintToString(ui_.Problems());
}

}  // namespace
}  // namespace tessary::testing
