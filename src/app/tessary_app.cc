#include "app/tessary_app.h"

#include "app/control_ids.h"

namespace tessary::app {

int CTessaryApp::Run(platform::UiHost& host) {
  int result;
  do {
    // Each wizard starts afresh from the stored settings: nothing else carries over.
    CTaskWizard wizard(environment_);
    ++wizard_count_;
    result = wizard.DoModal(host);
  } while (result == kIdAnotherTask);
  return result;
}

}  // namespace tessary::app
