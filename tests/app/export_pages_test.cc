// The export and header tasks' pages over a fresh embedded directory: what each page offers,
// checks and says, and what the runs write and remember for the next wizard.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/export_choices.h"
#include "directory/dn.h"
#include "export/export_job.h"
#include "export_fixture.h"
#include "support/bvk_registry.h"
#include "support/settings_store.h"
#include "support/unicode_fold.h"

namespace tessary::testing {
namespace {

namespace fs = std::filesystem;

constexpr unsigned kStop = platform::kMbIconStop | platform::kMbOk;
constexpr unsigned kExclamation = platform::kMbIconExclamation | platform::kMbOk;

// One wizard's share of the export task: its own connection to the directory, as every wizard
// has, and the pages' choices.
struct Wizard {
  std::unique_ptr<CExDomain> domain;
  std::unique_ptr<CExportChoices> choices;
};

class ExportPagesTest : public ExportTest {
 protected:
  void SetUp() override {
    ExportTest::SetUp();
    program_ = Path("program") + "/";
    fs::create_directories(program_);
  }

  Wizard NewWizard(ExportTask task) {
    Wizard wizard;
    wizard.domain = std::make_unique<CExDomain>(directory_.get());
    wizard.domain->SetSchemaCachePath(Path("Schema.dat"));
    EXPECT_TRUE(wizard.domain->Connect()) << wizard.domain->Error().Text();
    wizard.choices = std::make_unique<CExportChoices>(*wizard.domain, progress_, program_);
    wizard.choices->LoadForTask(task);
    return wizard;
  }

  // Chooses the class on the object type page.
  void ChooseClass(CExportChoices& choices, ExportTask task, const std::string& name) {
    choices.PrepareObjectTypes();
    ASSERT_TRUE(choices.LeaveObjectType(task, name));
  }

  // Chooses the test's unit on the container page.
  void ChooseUnit(CExportChoices& choices) {
    choices.PrepareContainerTree();
    choices.Tree().Select(ItemOf(choices, unit_));
    ASSERT_TRUE(choices.LeaveContainer());
  }

  int ItemOf(CExportChoices& choices, const std::string& dn) {
    const auto& items = choices.Tree().Items();
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
      if (items[i].Object->DistinguishedName == dn) return i;
    }
    return CContainerTree::kNoItem;
  }

  // Checks the rows of these LDAP names (after "&Show all attributes" when asked).
  void Check(CExportChoices& choices, const std::vector<std::string>& ldap_names) {
    CAttributeList& list = choices.AttributeList();
    for (int i = 0; i < list.Count(); ++i) {
      for (const std::string& name : ldap_names) {
        if (list.Rows()[i].LDAPName == name) list.SetChecked(i, true);
      }
    }
  }

  static std::vector<std::string> LDAPNames(const CAttributeList& list, bool checked_only) {
    std::vector<std::string> names;
    for (const AttributeRow& row : list.Rows()) {
      if (row.Checked || !checked_only) names.push_back(row.LDAPName);
    }
    return names;
  }

  std::string Stored(const char* name) {
    CBVKRegistry registry;
    std::string text;
    EXPECT_TRUE(registry.OpenKey(HKEY_CURRENT_USER, kSettingsKey));
    (void)registry.ReadString(name, &text, "<missing>", CBVKRegistry::Required::No);
    return text;
  }

  void ExpectMessages(const std::vector<std::pair<std::string, unsigned>>& expected) {
    std::vector<std::pair<std::string, unsigned>> shown;
    for (const auto& message : ui_.Messages()) shown.emplace_back(message.text, message.type);
    EXPECT_EQ(shown, expected);
  }

  CountingProgressHost progress_;
  std::string program_;
};

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// --- Object type page.

TEST_F(ExportPagesTest, WithoutAClassFileTheFiveCommonClassesAreOfferedInListOrder) {
  Wizard wizard = NewWizard(ExportTask::kExport);
  wizard.choices->PrepareObjectTypes();
  EXPECT_EQ(wizard.choices->ObjectTypeNames(),
            (std::vector<std::string>{"Computer", "Contact", "Group", "Organizational-Unit",
                                      "User"}));
  EXPECT_EQ(progress_.Texts(-1), (std::vector<std::string>{"Enumerating classes..."}));
}

TEST_F(ExportPagesTest, TheExportNeedsAClassTheHeaderGoesOnWithout) {
  Wizard wizard = NewWizard(ExportTask::kExport);
  wizard.choices->PrepareObjectTypes();
  EXPECT_FALSE(wizard.choices->LeaveObjectType(ExportTask::kExport, ""));
  ExpectMessages({{"You must select the type of object to export.", kStop}});

  Wizard header = NewWizard(ExportTask::kHeader);
  header.choices->PrepareObjectTypes();
  EXPECT_TRUE(header.choices->LeaveObjectType(ExportTask::kHeader, ""));
  EXPECT_EQ(header.choices->Settings.ExportClass, "");
  EXPECT_EQ(ui_.Messages().size(), 1u);
}

TEST_F(ExportPagesTest, AnotherTypeOfObjectIsOfferedAgainByTheNextWizard) {
  Wizard first = NewWizard(ExportTask::kExport);
  first.choices->PrepareObjectTypes();
  const std::vector<std::string> all = first.choices->AllClassNames();
  ASSERT_TRUE(Contains(all, "Container"));
  EXPECT_GT(all.size(), 20u);
  EXPECT_FALSE(first.choices->AddObjectType("No-Such-Class"));
  ASSERT_TRUE(first.choices->AddObjectType("Container"));
  ASSERT_TRUE(first.choices->LeaveObjectType(ExportTask::kExport, "User"));
  ChooseUnit(*first.choices);
  AddUser("Ann");
  first.choices->PrepareAttributes();
  first.choices->CollectSelection(ExportTask::kExport, Leaving::kNext);
  first.choices->Settings.ExportFile = Path("out.csv");
  ASSERT_EQ(first.choices->RunExport(), 1) << first.choices->Result().Text();
  EXPECT_EQ(FileText("program/TYExpDef.dat"),
            "Computer\r\nContact\r\nContainer\r\nGroup\r\nOrganizational-Unit\r\nUser\r\n");

  Wizard second = NewWizard(ExportTask::kExport);
  second.choices->PrepareObjectTypes();
  EXPECT_TRUE(Contains(second.choices->ObjectTypeNames(), "Container"));
}

// --- Container page.

TEST_F(ExportPagesTest, TheTreeShowsTheDomainAndItsContainersAndLoadsChildrenOnce) {
  const std::string inner = Add("organizationalUnit", "OU=Inner");
  Wizard wizard = NewWizard(ExportTask::kExport);
  wizard.choices->PrepareContainerTree();
  EXPECT_EQ(progress_.Texts(-1), (std::vector<std::string>{"Enumerating containers..."}));
  const CContainerTree& tree = wizard.choices->Tree();
  ASSERT_EQ(tree.Roots().size(), 1u);
  const CContainerTree::Item& root = tree.Items()[tree.Roots()[0]];
  EXPECT_EQ(root.Text, DNToDomainName(domain_->DistinguishedName));
  EXPECT_EQ(root.Image, CContainerTree::kDomainImage);
  const int unit = ItemOf(*wizard.choices, unit_);
  ASSERT_NE(unit, CContainerTree::kNoItem);
  EXPECT_EQ(tree.Items()[unit].Text, unit_name_);
  EXPECT_EQ(tree.Items()[unit].Image, CContainerTree::kContainerImage);
  EXPECT_TRUE(tree.Items()[unit].Children.empty());
  EXPECT_EQ(tree.Selected(), CContainerTree::kNoItem);

  wizard.choices->ExpandItem(unit);
  wizard.choices->ExpandItem(unit);
  ASSERT_EQ(tree.Items()[unit].Children.size(), 1u);
  EXPECT_EQ(tree.Items()[tree.Items()[unit].Children[0]].Object->DistinguishedName, inner);
  EXPECT_EQ(tree.Items()[tree.Items()[unit].Children[0]].Text, "Inner");
  EXPECT_TRUE(ui_.Messages().empty());
}

TEST_F(ExportPagesTest, WithNothingSelectedTheContainerPageStays) {
  Wizard wizard = NewWizard(ExportTask::kExport);
  wizard.choices->PendingContainer = "OU=Gone," + domain_->DistinguishedName;
  wizard.choices->PrepareContainerTree();
  EXPECT_EQ(wizard.choices->Tree().Selected(), CContainerTree::kNoItem);
  EXPECT_FALSE(wizard.choices->LeaveContainer());
  ExpectMessages({{"You must select a container.", kStop}});
}

TEST_F(ExportPagesTest, AForestOfOneDomainHasNoOtherDomain) {
  Wizard wizard = NewWizard(ExportTask::kExport);
  wizard.choices->PrepareContainerTree();
  EXPECT_TRUE(wizard.choices->OtherDomains().empty());
  ExpectMessages({{"No other domains were found.", kStop}});
  EXPECT_EQ(progress_.Texts(-1).back(), "Enumerating domains...");
  // The current domain stays, and so does its tree.
  EXPECT_NE(ItemOf(*wizard.choices, unit_), CContainerTree::kNoItem);
}

// --- Attributes page.

TEST_F(ExportPagesTest, TheFirstVisitListsNothingUntilShowAllThenEveryAttributeOfTheClass) {
  Wizard wizard = NewWizard(ExportTask::kExport);
  ChooseClass(*wizard.choices, ExportTask::kExport, "User");
  wizard.choices->PrepareAttributes();
  EXPECT_EQ(wizard.choices->AttributeList().Count(), 0);
  wizard.choices->ShowAllAttributes();
  const std::vector<std::string> shown = LDAPNames(wizard.choices->AttributeList(), false);
  EXPECT_TRUE(Contains(shown, "sAMAccountName"));
  EXPECT_TRUE(Contains(shown, "description"));
  EXPECT_FALSE(Contains(shown, "tokenGroups"));
  EXPECT_FALSE(Contains(shown, "tokenGroupsGlobalAndUniversal"));
  EXPECT_TRUE(LDAPNames(wizard.choices->AttributeList(), true).empty());
  EXPECT_TRUE(wizard.choices->ShowAllUsed());
  // Sorted by display name, without regard to case.
  const auto& rows = wizard.choices->AttributeList().Rows();
  for (std::size_t i = 1; i < rows.size(); ++i) {
    EXPECT_LE(FoldCase(rows[i - 1].AdminDisplayName), FoldCase(rows[i].AdminDisplayName));
  }
  // Once per display of the page.
  const int count = wizard.choices->AttributeList().Count();
  wizard.choices->ShowAllAttributes();
  EXPECT_EQ(wizard.choices->AttributeList().Count(), count);
}

TEST_F(ExportPagesTest, TheAttributeFileListsTheClassesAttributesFirst) {
  WriteFileText(program_ + "TYAttsDef.dat", "Description\r\nGroup-Type\r\nNo-Such\r\n");
  Wizard wizard = NewWizard(ExportTask::kExport);
  ChooseClass(*wizard.choices, ExportTask::kExport, "User");
  wizard.choices->PrepareAttributes();
  // Group-Type is no attribute of a user.
  EXPECT_EQ(LDAPNames(wizard.choices->AttributeList(), false),
            (std::vector<std::string>{"description"}));
}

TEST_F(ExportPagesTest, BackKeepsTheChoiceAndAnotherClassKeepsWhatItHas) {
  Wizard wizard = NewWizard(ExportTask::kExport);
  ChooseClass(*wizard.choices, ExportTask::kExport, "User");
  wizard.choices->PrepareAttributes();
  wizard.choices->ShowAllAttributes();
  Check(*wizard.choices, {"description", "userAccountControl"});
  wizard.choices->CollectSelection(ExportTask::kExport, Leaving::kBack);

  // Back on the object type page: the same class lists the same checked rows.
  ChooseClass(*wizard.choices, ExportTask::kExport, "User");
  wizard.choices->PrepareAttributes();
  EXPECT_EQ(LDAPNames(wizard.choices->AttributeList(), true),
            (std::vector<std::string>{"description", "userAccountControl"}));
  wizard.choices->CollectSelection(ExportTask::kExport, Leaving::kBack);

  // A group has a description but no account control.
  ChooseClass(*wizard.choices, ExportTask::kExport, "Group");
  wizard.choices->PrepareAttributes();
  EXPECT_EQ(LDAPNames(wizard.choices->AttributeList(), false),
            (std::vector<std::string>{"description"}));
  EXPECT_EQ(LDAPNames(wizard.choices->AttributeList(), true),
            (std::vector<std::string>{"description"}));
  wizard.choices->ShowAllAttributes();
  EXPECT_TRUE(Contains(LDAPNames(wizard.choices->AttributeList(), false), "member"));
  EXPECT_FALSE(Contains(LDAPNames(wizard.choices->AttributeList(), false), "userAccountControl"));
  EXPECT_TRUE(ui_.Messages().empty());
}

TEST_F(ExportPagesTest, NothingCheckedIsANoteThatDoesNotStopTheTask) {
  Wizard wizard = NewWizard(ExportTask::kExport);
  ChooseClass(*wizard.choices, ExportTask::kExport, "User");
  wizard.choices->PrepareAttributes();
  wizard.choices->CollectSelection(ExportTask::kExport, Leaving::kNext);
  Wizard header = NewWizard(ExportTask::kHeader);
  ChooseClass(*header.choices, ExportTask::kHeader, "User");
  header.choices->PrepareAttributes();
  header.choices->CollectSelection(ExportTask::kHeader, Leaving::kNext);
  ExpectMessages(
      {{"Note: You have not selected any attributes.\nThe export file will only contain the "
        "distinguished name and object GUID for each object.",
        kExclamation},
       {"Note: You have not selected any attributes.\nThe export file will only contain the "
        "distinguished name and object GUID column headers.",
        kExclamation}});
}

TEST_F(ExportPagesTest, AHeaderFilesAttributesAreCheckedAndOnlyThoseOfTheClass) {
  Wizard wizard = NewWizard(ExportTask::kExport);
  ChooseClass(*wizard.choices, ExportTask::kExport, "Group");
  wizard.choices->PrepareAttributes();
  CImportColumn description{"description", "Description", "", 8, true};
  CImportColumn account{"sAMAccountName", "SAM-Account-Name", "", 8, true};
  CImportColumn user_only{"userAccountControl", "User-Account-Control", "", 3, true};
  wizard.choices->AddFileAttributes({description, user_only, account, description});
  const std::vector<std::string> checked = LDAPNames(wizard.choices->AttributeList(), true);
  EXPECT_TRUE(Contains(checked, "description"));
  EXPECT_FALSE(Contains(checked, "userAccountControl"));
  EXPECT_TRUE(Contains(checked, "sAMAccountName"));
  EXPECT_EQ(wizard.choices->AttributeList().Count(), 2);
}

// --- The runs and what they leave for the next wizard.

TEST_F(ExportPagesTest, TheWizardsExportIsTheCommandLinesAndItsChoicesComeBack) {
  AddUser("Ann", {{"description", {"first"}}});
  AddUser("Bob", {{"description", {"second, with a comma"}}});
  WriteFileText(program_ + "TYAttsDef.dat", "");

  Wizard wizard = NewWizard(ExportTask::kExport);
  ChooseClass(*wizard.choices, ExportTask::kExport, "User");
  ChooseUnit(*wizard.choices);
  wizard.choices->Settings.IncludeSubcontainers = true;
  wizard.choices->PrepareAttributes();
  wizard.choices->ShowAllAttributes();
  Check(*wizard.choices, {"description", "sAMAccountName"});
  wizard.choices->CollectSelection(ExportTask::kExport, Leaving::kNext);
  wizard.choices->Settings.ExportFile = Path("wizard.csv");
  wizard.choices->Settings.SetDefaultExportFile = true;
  ASSERT_EQ(wizard.choices->RunExport(), 1);
  EXPECT_NE(wizard.choices->Result().Text().find("2 'User' objects were exported."),
            std::string::npos)
      << wizard.choices->Result().Text();

  // The command line's run of the same choices.
  CExContainer unit(directory_.get());
  unit.DistinguishedName = unit_;
  unit.Name = unit_name_;
  CExportJob job(*domain_);
  job.ClassName = "User";
  job.Container = &unit;
  job.IncludeSubcontainers = true;
  job.OutputFile = Path("cli.csv");
  job.Attributes = {"description", "sAMAccountName"};
  ASSERT_EQ(job.RunWithProgress(progress_, nullptr), 1) << job.Error().Text();
  EXPECT_EQ(FileText("wizard.csv"), FileText("cli.csv"));

  EXPECT_EQ(Stored("Export Class"), "User");
  EXPECT_EQ(Stored("Export Container"), unit_);
  EXPECT_EQ(Stored("Export File"), Path("wizard.csv"));
  EXPECT_EQ(FileText("program/TYAttsDef.dat"), "Description\r\nSAM-Account-Name\r\n");

  Wizard next = NewWizard(ExportTask::kExport);
  EXPECT_EQ(next.choices->Settings.ExportFile, Path("wizard.csv"));
  EXPECT_TRUE(next.choices->Settings.SetDefaultExportFile);
  EXPECT_TRUE(next.choices->Settings.IncludeSubcontainers);
  next.choices->PrepareObjectTypes();
  EXPECT_EQ(next.choices->Settings.ExportClass, "User");
  next.choices->PrepareContainerTree();
  ASSERT_NE(next.choices->SelectedContainer, nullptr);
  EXPECT_EQ(next.choices->SelectedContainer->DistinguishedName, unit_);
  EXPECT_EQ(next.choices->Tree().Selected(), ItemOf(*next.choices, unit_));
  EXPECT_TRUE(next.choices->PendingContainer.empty());
  // The attributes chosen in the last run are offered first, unchecked.
  ChooseClass(*next.choices, ExportTask::kExport, "User");
  next.choices->PrepareAttributes();
  EXPECT_EQ(LDAPNames(next.choices->AttributeList(), false),
            (std::vector<std::string>{"description", "sAMAccountName"}));
  EXPECT_TRUE(LDAPNames(next.choices->AttributeList(), true).empty());
}

TEST_F(ExportPagesTest, AnExportFileNotToBeRememberedLeavesTheStoredOne) {
  AddUser("Ann");
  {
    CBVKRegistry registry;
    ASSERT_TRUE(registry.OpenKey(HKEY_CURRENT_USER, kSettingsKey));
    ASSERT_TRUE(registry.WriteString("Export File", "/kept/Export.csv"));
  }
  Wizard wizard = NewWizard(ExportTask::kExport);
  EXPECT_FALSE(wizard.choices->Settings.SetDefaultExportFile);
  ChooseClass(*wizard.choices, ExportTask::kExport, "User");
  ChooseUnit(*wizard.choices);
  wizard.choices->PrepareAttributes();
  wizard.choices->CollectSelection(ExportTask::kExport, Leaving::kNext);
  wizard.choices->Settings.ExportFile = Path("once.csv");
  ASSERT_EQ(wizard.choices->RunExport(), 1) << wizard.choices->Result().Text();
  EXPECT_EQ(Stored("Export File"), "/kept/Export.csv");
  EXPECT_EQ(Stored("Set Default Exp File"), "<missing>");  // a DWORD, not text
  EXPECT_FALSE(fs::exists(program_ + "TYAttsDef.dat"));
}

TEST_F(ExportPagesTest, TheHeaderRunWritesTheCommandLinesFileAndKeepsTheExportChoices) {
  {
    CBVKRegistry registry;
    ASSERT_TRUE(registry.OpenKey(HKEY_CURRENT_USER, kSettingsKey));
    ASSERT_TRUE(registry.WriteString("Export File", "/kept/Export.csv"));
    ASSERT_TRUE(registry.WriteString("Export Container", unit_));
  }
  Wizard wizard = NewWizard(ExportTask::kHeader);
  EXPECT_EQ(wizard.choices->Settings.HeaderFile, CurrentFolder() + "Header.csv");
  ChooseClass(*wizard.choices, ExportTask::kHeader, "User");
  wizard.choices->PrepareAttributes();
  wizard.choices->ShowAllAttributes();
  Check(*wizard.choices, {"givenName", "sn"});
  wizard.choices->CollectSelection(ExportTask::kHeader, Leaving::kNext);
  wizard.choices->Settings.HeaderFile = Path("wizard-header.csv");
  ASSERT_EQ(wizard.choices->WriteHeader(), 1);
  EXPECT_EQ(wizard.choices->Result().Text(),
            "Header file '" + Path("wizard-header.csv") + "' completed successfully.");

  CExportJob job(*domain_);
  job.ClassName = "User";
  job.OutputFile = Path("cli-header.csv");
  job.Attributes = {"givenName", "sn"};
  ASSERT_EQ(job.WriteHeaderFile(), 1);
  EXPECT_EQ(FileText("wizard-header.csv"), FileText("cli-header.csv"));
  EXPECT_EQ(Stored("Export File"), "/kept/Export.csv");
  EXPECT_EQ(Stored("Export Container"), unit_);
  EXPECT_TRUE(fs::exists(program_ + "TYExpDef.dat"));
}

}  // namespace
}  // namespace tessary::testing
