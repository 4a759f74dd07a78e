#include "app/task_wizard.h"

#include <filesystem>

#include <atomic>

#include "app/control_ids.h"
#include "app/dialog_templates.h"
#include "app/page_hooks.h"
#include "platform/program_folder.h"
#include "support/bvk_file_util.h"

namespace tessary::app {
namespace {

// Set while a wizard exists; work functions on the worker thread read it.
std::atomic<CTaskWizard*> current_wizard{nullptr};

constexpr const char* kConnectStatus = "Accessing directory...";

}  // namespace

CTaskWizard::CTaskWizard(WizardEnvironment environment)
    : CBVKWizard(*FindTemplate(kFrameTemplate)),
      environment_(std::move(environment)),
      domain_(std::make_unique<CExDomain>(nullptr)),
      import_directory_(std::make_unique<DomainImportDirectory>(*domain_)),
      engine_(std::make_unique<CImportEngine>(import_directory_.get(), environment_.clock)) {
  previous_current_ = current_wizard.exchange(this);
  ProgramFolder = platform::ProgramFolder();
  SetFrame(kFrameTitle, 0, 0, kIdNext, kIdBack);
  AppendPages({kWelcomePage, kTaskPage, 0});
  AddControl(Kind::kPushButton, kIdHelp);
  roles.fill(-1);
}

CTaskWizard::~CTaskWizard() {
  if (CBVKDialog* page = CurrentPage()) OnDestroyPage(*page);
  CTaskWizard* self = this;
  current_wizard.compare_exchange_strong(self, previous_current_);
}

CTaskWizard* CTaskWizard::Current() { return current_wizard.load(); }

const platform::DialogTemplate* CTaskWizard::PageTemplate(int template_id) const {
  return FindTemplate(template_id);
}

CTaskWizard::Role CTaskWizard::RoleAt(int index) const {
  for (int role = 0; role < kRoleCount; ++role) {
    if (index >= 0 && roles[role] == index) return static_cast<Role>(role);
  }
  return kRoleCount;
}

std::int32_t CTaskWizard::RunEnumeration(
    const std::string& status, const std::function<std::int32_t(CBVKProgressDlg&)>& work,
    CBVKProgressDlg::ParameterMap* parameters) {
  auto dialog = std::make_unique<CBVKProgressDlg>(Progress(), &Owner(), kShortProgress,
                                                  kIdProgressBar, -1, kIdAnimation,
                                                  kIdProgressCancel);
  dialog->SetAnimationResource(kSearchClip);
  dialog->SetParameters(parameters);
  dialog->SetWorkFunction([&status, &work](CBVKProgressDlg& progress) {
    progress.SetStatusText(status);
    return work(progress);
  });
  return CBVKProgressDlg::Run(std::move(dialog));
}

bool CTaskWizard::ConnectDirectory() {
  std::string open_error;
  const std::int32_t connected = RunEnumeration(kConnectStatus, [&](CBVKProgressDlg&) {
    if (!directory_) {
      if (!environment_.open_directory || !environment_.open_directory(&directory_, &open_error)) {
        directory_.reset();
        return 0;
      }
      domain_->SetDirectory(directory_.get());
      domain_->ContainerRoot.SetDirectory(directory_.get());
    }
    return domain_->Connect() ? 1 : 0;
  });
  if (connected == 1) return true;
  // Shown here, on this thread, once the progress dialog has gone.
  CBVKError& error = domain_->Error();
  if (!open_error.empty()) error.SetText(open_error);
  error.SetOwner(&Owner());
  error.ShowError();
  return false;
}

void CTaskWizard::SetUpTask() {
  roles.fill(-1);
  PageIds().resize(2);
  const int first = 2;
  switch (task) {
    case kExportTask:
      AppendPages({kObjectTypePage, kContainerPage, kAttributesPage, kOutputFilePage, kFinishPage});
      roles[kObjectTypeRole] = first;
      roles[kContainerRole] = first + 1;
      roles[kAttributesRole] = first + 2;
      roles[kOutputFileRole] = first + 3;
      roles[kFinishRole] = first + 4;
      break;
    case kHeaderTask:
      AppendPages({kObjectTypePage, kAttributesPage, kOutputFilePage, kFinishPage});
      roles[kObjectTypeRole] = first;
      roles[kAttributesRole] = first + 1;
      roles[kOutputFileRole] = first + 2;
      roles[kFinishRole] = first + 3;
      break;
    default:
      AppendPages({kImportFilePage, 0});
      roles[kImportFileRole] = first;
      break;
  }
  LoadTaskSettings();
}

void CTaskWizard::SetUpImportPages() {
  PageIds().resize(3);
  int next = 3;
  if (engine_->CreatesUsers) {
    AppendPages({kMailboxPage, kAccountSettingsPage});
    roles[kMailboxRole] = next++;
    roles[kAccountSettingsRole] = next++;
  } else {
    roles[kMailboxRole] = -1;
    roles[kAccountSettingsRole] = -1;
  }
  AppendPages({kVerifyColumnsPage, kErrorFolderPage, kImportFinishPage});
  roles[kVerifyColumnsRole] = next++;
  roles[kErrorFolderRole] = next++;
  roles[kFinishRole] = next;
}

bool CTaskWizard::OnLeavePage(CBVKDialog& page, int index) {
  if (index == 0) return ConnectDirectory();
  if (index == 1) {
    SetUpTask();
    return true;
  }
  if (roles[kFinishRole] == index + 1) return PerformTask();
  const PageHooks& hooks = FindPageHooks(page.TemplateId());
  return hooks.check ? hooks.check(*this, page) : true;
}

void CTaskWizard::OnBeforeCreatePage(CBVKDialog& page, int) {
  const PageHooks& hooks = FindPageHooks(page.TemplateId());
  if (hooks.bind) hooks.bind(*this, page);
}

void CTaskWizard::OnAfterCreatePage(CBVKDialog& page, int index) {
  if (index != 0 && index != roles[kFinishRole] && page.Window()) {
    page.Window()->Place(0, 0, page.Template().width, page.Template().height - 50);
  }
  const PageHooks& hooks = FindPageHooks(page.TemplateId());
  if (hooks.shown) hooks.shown(*this, page);
}

void CTaskWizard::OnDestroyPage(CBVKDialog& page) {
  // The wrappers of the page's list and tree must not outlive it.
  if (AttributeList.Dialog() == &page) AttributeList.Detach();
  if (ContainerTree.Dialog() == &page) ContainerTree.Detach();
}

void CTaskWizard::OnButtonPressed(CBVKDialog& source, int control_id) {
  CBVKDialog* page = CurrentPage();
  switch (control_id) {
    case kIdBack:
      if (page) {
        const PageHooks& hooks = FindPageHooks(page->TemplateId());
        if (hooks.before_back) hooks.before_back(*this, *page);
      }
      break;
    case kIdHelp:
      OpenHelp();
      return;
    case kIdAnotherTask:
      EndDialog(kIdAnotherTask);
      return;
    case kIdViewErrorLog:
      ViewErrorLog();
      return;
    default:
      if (&source != this) {
        const PageHooks& hooks = FindPageHooks(source.TemplateId());
        if (hooks.button && hooks.button(*this, source, control_id)) return;
      }
      break;
  }
  CBVKWizard::OnButtonPressed(source, control_id);
}

void CTaskWizard::OnFillList(CBVKDialog& source, int control_id) {
  const PageHooks& hooks = FindPageHooks(source.TemplateId());
  if (hooks.fill_list) hooks.fill_list(*this, source, control_id);
}

void CTaskWizard::OnFillTree(CBVKDialog& source, int control_id) {
  const PageHooks& hooks = FindPageHooks(source.TemplateId());
  if (hooks.fill_tree) hooks.fill_tree(*this, source, control_id);
}

void CTaskWizard::OnTreeItemExpanding(CBVKDialog& source, int control_id, int item) {
  const PageHooks& hooks = FindPageHooks(source.TemplateId());
  if (hooks.expand_tree) hooks.expand_tree(*this, source, control_id, item);
}

void CTaskWizard::OnListColumnClick(CBVKDialog& source, int control_id, int column) {
  const PageHooks& hooks = FindPageHooks(source.TemplateId());
  if (hooks.column_click) hooks.column_click(*this, source, control_id, column);
}

void CTaskWizard::OnValueChanged(CBVKDialog& source, int control_id) {
  const PageHooks& hooks = FindPageHooks(source.TemplateId());
  if (hooks.value_changed) hooks.value_changed(*this, source, control_id);
}

void CTaskWizard::OpenHelp() {
  CBVKFileUtil files;
  files.Error().SetOwner(&Owner());
  // A package installs the page with the programs, not in the program folder, which setup fills:
  // the folder's copy wins, the installed one stands in, and when neither is there the message
  // names the folder's.
  std::string page = ProgramFolder + kHelpFile;
  const std::string installed_folder = platform::InstalledDataFolder();
  std::error_code ignored;
  if (!installed_folder.empty() && !std::filesystem::exists(page, ignored) &&
      std::filesystem::exists(installed_folder + kHelpFile, ignored)) {
    page = installed_folder + kHelpFile;
  }
  // Its failures are shown by the opening itself.
  (void)files.OpenHtmlFile(page);
}

void CTaskWizard::ViewErrorLog() {
  CBVKFileUtil files;
  files.Error().SetOwner(&Owner());
  if (!files.Run("", "", "Notepad.exe " + engine_->ErrorFilePath)) files.Error().ShowError();
}

}  // namespace tessary::app
