// The error file folder page: where this import's error file goes and whether to remember it;
// leaving it runs the import.
#include "app/control_ids.h"
#include "app/page_hooks.h"
#include "app/task_wizard.h"

namespace tessary::app {
namespace {

using Kind = CBVKDialog::Kind;

void BindErrorFolderPage(CTaskWizard& wizard, CBVKDialog& page) {
  CImportEngine& engine = wizard.Engine();
  page.AddControl(Kind::kEdit, kIdPath, engine.ErrorFolder);
  page.SetControlStyle(kIdPath, platform::kStyleReadOnly, true);
  page.AddPicker(kIdBrowse, kIdPath, CBVKDialog::Picker::kFolder);
  page.AddControl(Kind::kCheckBox, kIdUseAsDefault, engine.RememberErrorFolder);
  page.SetControlText(kIdUseAsDefault, "Use the above location as the default path for error files.");
}

}  // namespace

const PageHooks kErrorFolderPageHooks{.bind = BindErrorFolderPage};

}  // namespace tessary::app
