// The finish pages: the task's summary line by line, another task, and the error file of an
// import that had failures.
#include "app/control_ids.h"
#include "app/page_hooks.h"
#include "app/task_wizard.h"
#include "support/bvk_list_ctrl.h"

namespace tessary::app {
namespace {

constexpr int kDetailsWidth = 1000;

void BindFinishPage(CTaskWizard&, CBVKDialog& page) {
  page.AddControl(CBVKDialog::Kind::kListView, kIdDetails);
  page.AddControl(CBVKDialog::Kind::kPushButton, kIdAnotherTask);
  page.AddControl(CBVKDialog::Kind::kPushButton, kIdViewErrorLog);
}

void FillDetails(CTaskWizard& wizard, CBVKDialog& page, int control_id) {
  if (control_id != kIdDetails) return;
  CBVKListCtrl details;
  details.Attach(page, control_id);
  details.InsertColumn("Details", kDetailsWidth);
  const std::string& text = wizard.Error().Text();
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find('\n', start);
    details.AddRow({text.substr(start, end == std::string::npos ? end : end - start)});
    if (end == std::string::npos) break;
    start = end + 1;
  }
}

void FinishPageShown(CTaskWizard& wizard, CBVKDialog& page) {
  page.EnableControl(kIdViewErrorLog, wizard.Engine().ErrorCount != 0);
}

}  // namespace

const PageHooks kFinishPageHooks{
    .bind = BindFinishPage, .shown = FinishPageShown, .fill_list = FillDetails};

}  // namespace tessary::app
