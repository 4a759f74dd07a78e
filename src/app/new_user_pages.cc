// The pages an import that creates users adds: whether to give them mailboxes, and the options
// of their new accounts.
#include "app/control_ids.h"
#include "app/page_hooks.h"
#include "app/task_wizard.h"

namespace tessary::app {
namespace {

using Kind = CBVKDialog::Kind;

void BindMailboxPage(CTaskWizard& wizard, CBVKDialog& page) {
  page.AddRadio(kIdMailboxYes, wizard.Engine().CreateMailboxes, true);
  page.AddRadio(kIdMailboxNo, wizard.Engine().CreateMailboxes, false);
}

void BindAccountSettingsPage(CTaskWizard& wizard, CBVKDialog& page) {
  CImportEngine& engine = wizard.Engine();
  page.AddControl(Kind::kCheckBox, kIdAccountDisabled, engine.NewAccountDisabled);
  page.AddControl(Kind::kCheckBox, kIdPasswordNeverExpires, engine.PasswordNeverExpires);
  page.AddControl(Kind::kCheckBox, kIdMustChangePassword, engine.MustChangePassword);
}

// A password can only be changed at the next logon when the file gives one.
void AccountSettingsShown(CTaskWizard& wizard, CBVKDialog& page) {
  page.EnableControl(kIdMustChangePassword, wizard.Engine().PasswordsSupplied);
}

}  // namespace

const PageHooks kMailboxPageHooks{.bind = BindMailboxPage};
const PageHooks kAccountSettingsPageHooks{.bind = BindAccountSettingsPage,
                                          .shown = AccountSettingsShown};

}  // namespace tessary::app
