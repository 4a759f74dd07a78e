// The import file page: the file and whether to remember it; leaving it checks the file, and a
// file that passes decides the import's further pages.
#include "app/control_ids.h"
#include "app/page_hooks.h"
#include "app/page_messages.h"
#include "app/task_wizard.h"

namespace tessary::app {
namespace {

using Kind = CBVKDialog::Kind;

void BindImportFilePage(CTaskWizard& wizard, CBVKDialog& page) {
  CImportEngine& engine = wizard.Engine();
  page.AddControl(Kind::kEdit, kIdPath, engine.ImportFile);
  page.AddPicker(kIdBrowse, kIdPath, CBVKDialog::Picker::kOpenFile);
  page.AddControl(Kind::kCheckBox, kIdUseAsDefault, engine.RememberImportFile);
}

bool LeaveImportFilePage(CTaskWizard& wizard, CBVKDialog&) {
  CImportEngine& engine = wizard.Engine();
  if (!engine.CheckImportFile() || !engine.ValidateImportLines()) {
    ShowStop(wizard, engine.Error());
    return false;
  }
  engine.GetColumnNames(wizard.SelectedAttributes);
  wizard.SetUpImportPages();
  return true;
}

}  // namespace

const PageHooks kImportFilePageHooks{.bind = BindImportFilePage, .check = LeaveImportFilePage};

}  // namespace tessary::app
