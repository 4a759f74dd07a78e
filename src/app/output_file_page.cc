// The output file page of the export and header tasks; leaving it runs the task.
#include "app/control_ids.h"
#include "app/page_hooks.h"
#include "app/task_wizard.h"

namespace tessary::app {
namespace {

using Kind = CBVKDialog::Kind;

void BindOutputFilePage(CTaskWizard& wizard, CBVKDialog& page) {
  const bool header = wizard.task == CTaskWizard::kHeaderTask;
  page.AddControl(Kind::kStatic, kIdTitle, header ? "Choose Output Header File" : "Choose Output File");
  page.AddControl(Kind::kStatic, kIdQuestion,
                  header ? "Where do you want to save the output header file?"
                         : "Where do you want to save the output export file?");
  page.AddControl(Kind::kStatic, kIdInstruction,
                  header ? "Select the output header file you want to create, and then click Next."
                         : "Select the output export file you want to create, and then click Next.");
  page.AddControl(Kind::kEdit, kIdPath, header ? wizard.HeaderFile : wizard.ExportFile);
  page.AddPicker(kIdBrowse, kIdPath, CBVKDialog::Picker::kSaveFile);
  // The export file changes only through "&Browse..."; the header file may be typed.
  page.SetControlStyle(kIdPath, platform::kStyleReadOnly, !header);
  if (header) {
    // The header task remembers no path of its own: a check box that changed nothing would
    // mislead.
    page.ShowControl(kIdUseAsDefault, false);
    return;
  }
  page.AddControl(Kind::kCheckBox, kIdUseAsDefault, wizard.SetDefaultExportFile);
}

}  // namespace

const PageHooks kOutputFilePageHooks{.bind = BindOutputFilePage};

}  // namespace tessary::app
