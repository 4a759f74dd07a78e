#include "app/page_messages.h"

namespace tessary::app {

void ShowStop(CTaskWizard& wizard, CBVKError& error) {
  error.SetOwner(&wizard.Owner());
  (void)error.ShowError();
}

void ShowNote(CTaskWizard& wizard, CBVKError& error) {
  error.SetOwner(&wizard.Owner());
  (void)error.ShowWarning();
}

void ShowStop(CTaskWizard& wizard, const std::string& text) {
  CBVKError message;
  message.SetText(text);
  ShowStop(wizard, message);
}

void ShowNote(CTaskWizard& wizard, const std::string& text) {
  CBVKError message;
  message.SetText(text);
  ShowNote(wizard, message);
}

}  // namespace tessary::app
