#include "setup/setup_app.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/system_error.h"
#include "setup/setup_dlg.h"
#include "support/bvk_registry.h"

namespace tessary::setup {

bool HasNewerOffice() {
  CBVKRegistry registry;
  std::vector<std::string> names;
  if (!registry.OpenKey(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Office", KEY_READ,
                        CBVKRegistry::Create::No) ||
      !registry.EnumKeys(&names)) {
    return false;
  }
  for (const std::string& name : names) {
    const std::string digits = name.substr(0, name.find_first_not_of("0123456789"));
    // Long runs of digits are surely newer; they need not fit a number.
    if (!digits.empty() && (digits.size() > 9 || std::strtoul(digits.c_str(), nullptr, 10) > 8)) {
      return true;
    }
  }
  return false;
}

bool CSetupApp::Prepare(const std::string& text, CSetupDlg* dialog) {
  CBVKFileUtil& files = dialog->Files();
  if (!files.InitFolders()) {
    files.Error().ShowError();
    return false;
  }
  CBVKRegistry registry;
  dialog->InstallFolder() = registry.GetAppPath("Brenvik");

  const CommandLine line = ParseCommandLine(text);
  std::string main_script = "Files.dat";
  bool read_main_script = true;
  switch (line.which) {
    case CommandLine::Switch::kCorporate:
      main_script = "FilesGZB.dat";
      break;
    case CommandLine::Switch::kBase:
      dialog->SetSilent(true);
      main_script = "FilesBA.dat";
      if (dialog->InstallFolder().empty() && !line.base_folder.empty()) {
        dialog->InstallFolder() = CompleteInstallFolder(line.base_folder);
      }
      if (line.has_base_share) {
        const std::string share = ShareFolder(line.base_share);
        if (chdir(share.c_str()) != 0 || !files.GetCurrentFolder()) {
          files.Error().SetText("Could not access '" + share + "'.");
          files.Error().SetSystemError(platform::Win32FromErrno(errno));
          files.Error().ShowError();
          return false;
        }
      }
      break;
    case CommandLine::Switch::kConfigs:
      dialog->Server() = line.configs.server;
      dialog->SetSilent(line.configs.silent);
      if (dialog->InstallFolder().empty() && !line.configs.default_folder.empty()) {
        dialog->InstallFolder() = CompleteInstallFolder(line.configs.default_folder);
      }
      dialog->Configurations() = line.configs.configurations;
      read_main_script = false;
      break;
    case CommandLine::Switch::kSilent:
      dialog->SetSilent(true);
      break;
    case CommandLine::Switch::kNone:
      break;
  }
  if (!dialog->Server().empty()) read_main_script = false;

  dialog->SetNewerOffice(HasNewerOffice());
  dialog->Script().files.clear();
  if (read_main_script && !dialog->ReadScript(files.SourceFolder() + main_script)) return false;
  return dialog->ReadScript(files.SourceFolder() + "SFiles.dat");
}

int CSetupApp::Run(const std::string& text) {
  CSetupDlg dialog(progress_host_, pages_);
  if (!Prepare(text, &dialog)) return kFailed;
  switch (dialog.RunStages()) {
    case CSetupDlg::Outcome::kCompleted:
      return kCompleted;
    case CSetupDlg::Outcome::kRefused:
      return kRefused;
    case CSetupDlg::Outcome::kFailed:
      break;
  }
  return kFailed;
}

}  // namespace tessary::setup
