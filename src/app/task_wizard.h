#pragma once
// The program's wizard frame: the task, the ten page roles, the hooks' bodies, the button
// handler and all state the pages and the task runs share. What each page binds and checks
// comes from its entry in the page table (page_hooks.h).

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "directory/ds/directory.h"
#include "directory/ex_domain.h"
#include "export/definition_files.h"
#include "import/domain_import_directory.h"
#include "import/import_engine.h"
#include "platform/ui/progress_host.h"
#include "support/bvk_list_ctrl.h"
#include "support/bvk_progress_dlg.h"
#include "support/bvk_tree_ctrl.h"
#include "support/bvk_wizard.h"

namespace tessary::app {

// Opens the directory the wizard works on; fails with the message in *error.
using DirectoryOpener =
    std::function<bool(std::unique_ptr<ds::Directory>* directory, std::string* error)>;

// What the wizard runs on, injected so that tests run it headless.
struct WizardEnvironment {
  platform::ProgressHost& progress;
  DirectoryOpener open_directory;
  const Clock& clock = SystemClock();
};

class CTaskWizard : public CBVKWizard {
 public:
  enum Task : int { kExportTask = 0, kHeaderTask = 1, kImportTask = 2 };
  enum Role : int {
    kImportFileRole,
    kMailboxRole,
    kAccountSettingsRole,
    kVerifyColumnsRole,
    kErrorFolderRole,
    kObjectTypeRole,
    kContainerRole,
    kAttributesRole,
    kOutputFileRole,
    kFinishRole,
    kRoleCount,
  };
  static constexpr const char* kFrameTitle = "Brenvik Tessary";
  static constexpr const char* kHelpFile = "TY-Index.htm";

  explicit CTaskWizard(WizardEnvironment environment);
  ~CTaskWizard() override;

  // The wizard now running (the last one constructed and not yet destroyed), for work functions.
  static CTaskWizard* Current();

  // --- State shared by the pages and the task runs.
  int task = kExportTask;
  // Index in the page list of each role's page; -1 when the task has no such page.
  std::array<int, kRoleCount> roles{};
  std::string ProgramFolder;  // with a trailing '/'; empty when unknown
  SchemaRecordMap ObjectTypes;
  SchemaRecordMap AttributeMap;
  CBVKListCtrl AttributeList;  // control 1018 (1079 on the verify columns page)
  CBVKTreeCtrl ContainerTree;  // control 1002
  std::string SavedContainer;  // "Export Container" until matched in the tree
  std::string ExportClass;     // admin display name
  std::string ObjectTypeChoice;  // the object type page's list, until Next makes it the class
  std::string ExportFile;
  std::string HeaderFile;
  std::vector<std::string> SelectedAttributes;      // LDAP display names, the columns
  std::vector<std::string> SelectedAttributeNames;  // admin display names, same order
  bool IncludeSubcontainers = false;
  bool SetDefaultExportFile = true;
  CBVKADObject* SelectedContainer = nullptr;  // not owned: a node of the domain's tree

  CImportEngine& Engine() { return *engine_; }
  CExDomain& Domain() { return *domain_; }
  platform::ProgressHost& Progress() { return environment_.progress; }

  // The index of the page of a role, -1 when none.
  int RoleIndex(Role role) const { return roles[role]; }
  // The role of the page at index, or kRoleCount when none.
  Role RoleAt(int index) const;

  // Runs work behind a progress dialog of template 210 with the status text; returns its result.
  std::int32_t RunEnumeration(const std::string& status,
                              const std::function<std::int32_t(CBVKProgressDlg&)>& work,
                              CBVKProgressDlg::ParameterMap* parameters = nullptr);

  // Rebuilds the page list of the chosen task from the task page on, and loads its settings.
  void SetUpTask();
  // After the import file check: the import's pages after the import file page.
  void SetUpImportPages();
  // The settings store's values of the chosen task, loaded when the task page is left.
  void LoadTaskSettings();
  // What an export or header run remembers as it starts: settings and definition files.
  void SaveExportChoices();

  // --- Hooks and handlers of the frame.
  bool OnFinish() override { return true; }
  bool OnLeavePage(CBVKDialog& page, int index) override;
  void OnBeforeCreatePage(CBVKDialog& page, int index) override;
  void OnAfterCreatePage(CBVKDialog& page, int index) override;
  void OnDestroyPage(CBVKDialog& page) override;
  void OnButtonPressed(CBVKDialog& source, int control_id) override;
  void OnFillList(CBVKDialog& source, int control_id) override;
  void OnFillTree(CBVKDialog& source, int control_id) override;
  void OnTreeItemExpanding(CBVKDialog& source, int control_id, int item) override;
  void OnListColumnClick(CBVKDialog& source, int control_id, int column) override;
  void OnValueChanged(CBVKDialog& source, int control_id) override;

 protected:
  const platform::DialogTemplate* PageTemplate(int template_id) const override;

 private:
  // Leaving the welcome page: connects to the directory behind a progress dialog.
  bool ConnectDirectory();
  // Leaving the page before the finish page: runs the task; 1 goes on.
  bool PerformTask();
  bool RunExportTask();
  bool RunHeaderTask();
  bool RunImportTask();
  void OpenHelp();
  void ViewErrorLog();

  WizardEnvironment environment_;
  std::unique_ptr<ds::Directory> directory_;
  std::unique_ptr<CExDomain> domain_;
  std::unique_ptr<DomainImportDirectory> import_directory_;
  std::unique_ptr<CImportEngine> engine_;
  CTaskWizard* previous_current_ = nullptr;
};

}  // namespace tessary::app
