// The import values of the settings store, under the current user's Software\Brenvik\Tessary.
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "import/import_engine.h"
#include "support/bvk_registry.h"

namespace tessary {
namespace {

constexpr const char* kSettingsKey = "Software\\Brenvik\\Tessary";

// The process's current directory with a trailing '/', or "" when it cannot be read.
std::string CurrentFolder() {
  std::error_code error;
  std::string folder = std::filesystem::current_path(error).string();
  if (error) return {};
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

void ReadFlag(CBVKRegistry& registry, const char* name, bool* flag) {
  std::uint32_t value = 0;
  if (registry.ReadDWORD(name, &value, 0)) *flag = value != 0;
}

void ReadText(CBVKRegistry& registry, const char* name, std::string* text) {
  std::string value;
  if (registry.ReadString(name, &value, {})) *text = value;
}

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
    ReadFlag(registry, "Imp Create Mailboxes", &CreateMailboxes);
    ReadFlag(registry, "Imp Account Disabled", &NewAccountDisabled);
    ReadFlag(registry, "Imp Account Locked", &AccountLocked);
    ReadFlag(registry, "Imp Account Home Dir", &AccountHomeDir);
    ReadFlag(registry, "Imp Account Pass Not Req", &PasswordNotRequired);
    ReadFlag(registry, "Imp Account Pass No Change", &PasswordCannotChange);
    ReadFlag(registry, "Imp Account Pass No Expires", &PasswordNeverExpires);
    ReadFlag(registry, "Imp Account Pass Expired", &PasswordExpired);
    ReadFlag(registry, "Set Default Imp File", &RememberImportFile);
    ReadFlag(registry, "Set Default Imp Dir Errors", &RememberErrorFolder);
    ReadText(registry, "Imp File", &ImportFile);
    ReadText(registry, "Imp Dir Errors", &ErrorFolder);
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
