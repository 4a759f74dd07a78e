// The task choice page: three radio buttons bound to the task.
#include "app/control_ids.h"
#include "app/page_hooks.h"
#include "app/task_wizard.h"

namespace tessary::app {
namespace {

void BindTaskPage(CTaskWizard& wizard, CBVKDialog& page) {
  page.AddRadio(kIdTaskExport, wizard.task, CTaskWizard::kExportTask);
  page.AddRadio(kIdTaskImport, wizard.task, CTaskWizard::kImportTask);
  page.AddRadio(kIdTaskHeader, wizard.task, CTaskWizard::kHeaderTask);
}

}  // namespace

const PageHooks kTaskPageHooks{.bind = BindTaskPage};

}  // namespace tessary::app
