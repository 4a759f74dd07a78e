// The import values of the settings store, under the current user's Software\Brenvik\Tessary.
#include "import/import_engine.h"
#include "support/settings_store.h"

namespace tessary {
namespace {

// A value that cannot be written is skipped; the others are still written.
void WriteFlag(CBVKRegistry& registry, const char* name, bool flag) {
  (void)registry.WriteDWORD(name, flag ? 1 : 0);
}

}  // namespace

void CImportEngine::SetInitialChoices() {
  CreateMailboxes = NewAccountDisabled = AccountLocked = AccountHomeDir = false;
  PasswordNotRequired = PasswordCannotChange = PasswordNeverExpires = PasswordExpired = false;
  // Until a stored value says otherwise; a value that is absent reads as 0.
  RememberImportFile = RememberErrorFolder = true;
  MustChangePassword = true;
  const std::string current = CurrentFolder();
  ImportFile = current + "Import.csv";
  ErrorFolder = current;
}

void CImportEngine::LoadImportSettings() {
  SetInitialChoices();
  ImportFile.clear();
  ErrorFolder.clear();

  CBVKRegistry registry;
  if (registry.OpenKey(HKEY_CURRENT_USER, kSettingsKey)) {
    ReadSettingFlag(registry, "Imp Create Mailboxes", &CreateMailboxes);
    ReadSettingFlag(registry, "Imp Account Disabled", &NewAccountDisabled);
    ReadSettingFlag(registry, "Imp Account Locked", &AccountLocked);
    ReadSettingFlag(registry, "Imp Account Home Dir", &AccountHomeDir);
    ReadSettingFlag(registry, "Imp Account Pass Not Req", &PasswordNotRequired);
    ReadSettingFlag(registry, "Imp Account Pass No Change", &PasswordCannotChange);
    ReadSettingFlag(registry, "Imp Account Pass No Expires", &PasswordNeverExpires);
    ReadSettingFlag(registry, "Imp Account Pass Expired", &PasswordExpired);
    ReadSettingFlag(registry, "Set Default Imp File", &RememberImportFile);
    ReadSettingFlag(registry, "Set Default Imp Dir Errors", &RememberErrorFolder);
    ReadSettingText(registry, "Imp File", &ImportFile);
    ReadSettingText(registry, "Imp Dir Errors", &ErrorFolder);
  }
  const std::string current = CurrentFolder();
  if (ImportFile.empty()) ImportFile = current + "Import.csv";
  if (ErrorFolder.empty()) ErrorFolder = current;
}

void CImportEngine::SaveImportSettings() {
  CBVKRegistry registry;
  if (!registry.OpenKey(HKEY_CURRENT_USER, kSettingsKey)) return;
  WriteFlag(registry, "Imp Create Mailboxes", CreateMailboxes);
  WriteFlag(registry, "Imp Account Disabled", NewAccountDisabled);
  WriteFlag(registry, "Imp Account Locked", AccountLocked);
  WriteFlag(registry, "Imp Account Home Dir", AccountHomeDir);
  WriteFlag(registry, "Imp Account Pass Not Req", PasswordNotRequired);
  WriteFlag(registry, "Imp Account Pass No Change", PasswordCannotChange);
  WriteFlag(registry, "Imp Account Pass No Expires", PasswordNeverExpires);
  WriteFlag(registry, "Imp Account Pass Expired", PasswordExpired);
  WriteFlag(registry, "Set Default Imp Dir Errors", RememberErrorFolder);
  if (RememberErrorFolder) (void)registry.WriteString("Imp Dir Errors", ErrorFolder);
  WriteFlag(registry, "Set Default Imp File", RememberImportFile);
  if (RememberImportFile) (void)registry.WriteString("Imp File", ImportFile);
}

}  // namespace tessary
