#include "setup/setup_dlg.h"

#include <unistd.h>

#include <fstream>
#include <iterator>

#include "platform/system_error.h"
#include "setup/background.h"
#include "setup/client_record.h"
#include "setup/removal_bounds.h"
#include "setup/script_text.h"
#include "setup/text.h"

namespace tessary::setup {
namespace {

std::string WithoutTrailingSlash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

CSetupDlg::CSetupDlg(platform::ProgressHost* progress_host, SetupPages* pages)
    : progress_host_(progress_host), pages_(pages ? pages : &message_box_pages_) {}

void CSetupDlg::ShowSetupError(const CBVKError& error) {
  platform::CurrentUiHost().ShowMessageBox(nullptr, "Setup", error.Text(),
                                           platform::kMbOk | platform::kMbIconStop);
}

bool CSetupDlg::ReadScript(const std::string& path) {
  std::vector<std::string> lines;
  if (!files_.ReadLines(path, &lines)) {
    // Only the main script must be there; the others are optional.
    if (!EndsWith(path, "/Files.dat")) return true;
    ShowSetupError(files_.Error());
    return false;
  }
  // The bytes again, whole: a byte-order mark or UTF-16 only shows there.
  std::ifstream in(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::optional<std::vector<std::string>> decoded;
  if (in.is_open()) decoded = ScriptLines(bytes);
  std::optional<std::string> unreadable;
  if (decoded) unreadable = UnreadableNamingLine(*decoded);
  if (!decoded || unreadable) {
    // Installing without its name or code would leave a product that nothing can remove.
    CBVKError error;
    error.SetText("Could not read the install script '" + path +
                  "': its PROD or CODE line is not plain text, UTF-8 or UTF-16 with a "
                  "byte-order mark.\nNothing was installed.");
    if (unreadable) error.AddLine("The line begins: " + EntryForMessage(*unreadable));
    ShowSetupError(error);
    return false;
  }
  ApplyScriptLines(*decoded, {newer_office_, install_folder_}, &script_);
  return true;
}

bool CSetupDlg::CheckScriptNames() {
  const std::optional<std::string> name = NameLeavingItsFolder(script_);
  if (!name) return true;
  CBVKError error;
  error.SetText("Could not use the name '" + EntryForMessage(*name) +
                "' of the install script: it leads outside the folder it is put in.\nNothing "
                "was installed.");
  ShowSetupError(error);
  return false;
}

bool CSetupDlg::ShowWelcomePages() {
  if (silent_) return true;
  const bool product = !script_.product_name.empty();
  if (!pages_->Welcome(&window_, product)) return false;

  std::vector<std::string> licence;
  if (files_.ReadLines(files_.SourceFolder() + "License-" + script_.product_code + ".txt",
                       &licence) &&
      !pages_->Licence(&window_, licence)) {
    return false;
  }

  if (product) {
    std::vector<std::string> applications;
    // Each new entry above the ones before.
    for (auto entry = script_.required_applications.rbegin();
         entry != script_.required_applications.rend(); ++entry) {
      applications.push_back(*entry);
    }
    std::string systems;
    for (const std::string& entry : script_.required_systems) systems += entry;
    if (!pages_->Requirements(&window_, script_.product_name, applications, systems)) {
      return false;
    }
  }
  return true;
}

void CSetupDlg::ReplaceFolderMarkers() {
  for (RegistryEntry& entry : script_.registry) {
    ReplaceAll(&entry.value, "%SYSTEM%", files_.SystemFolder());
    ReplaceAll(&entry.value, "%PROGRAM%", WithoutTrailingSlash(install_folder_));
  }
}

bool CSetupDlg::Log(const std::string& line) { return log_.WriteLine(line); }

bool CSetupDlg::InstallOnce(bool with_copy) {
  const bool done = OpenSetupLog() && CreateSubFolders() && CopyFiles() &&
                    (script_.components.empty() || UpdateComponentList()) && WriteRegistry() &&
                    CreateShortcuts() && (!with_copy || script_.copy_name.empty() || CopyScript());
  log_.Close();
  return done;
}

bool CSetupDlg::InstallConfigurations() {
  const std::string share = ClientFilesFolder(server_);
  for (const ConfigEntry& configuration : configurations_) {
    script_.removal_only_files.clear();
    script_.components.clear();
    script_.required_applications.clear();
    script_.required_systems.clear();
    script_.product_code = configuration.product_code;
    script_.product_name = configuration.product_name;
    configuration_name_ = configuration.name;
    if (chdir(share.c_str()) != 0 || !files_.GetCurrentFolder()) {
      files_.Error().SetText("Could not access '" + share + "'.");
      files_.Error().SetSystemError(platform::kErrorPathNotFound);
      files_.Error().ShowError();
      return false;
    }
    if (!ReadScript(share + "/Files" + configuration.product_code + ".dat")) return false;
    if (!CheckScriptNames()) return false;
    // A configuration's script is read after the markers were replaced; its entries need it too.
    ReplaceFolderMarkers();
    if (!InstallOnce(false)) return false;
  }
  return true;
}

CSetupDlg::Outcome CSetupDlg::RunStages() {
  using namespace platform;
  update_mode_ = script_.product_name.empty() && configurations_.empty();
  product_picture_ = LoadProductPicture(files_.SourceFolder());
  if (!silent_ && script_.product_name.empty()) window_.title = kUpdateTitle;
  if (!silent_) {
    pages_->ShowMainWindow(
        {&window_, script_.colour_scheme, script_.product_name, product_picture_});
  }
  auto fail = [this] {
    CurrentUiHost().ShowMessageBox(silent_ ? nullptr : &window_, "Setup", kFinalMessage,
                                   kMbOk | kMbIconExclamation);
    return Outcome::kFailed;
  };

  if (!CheckScriptNames()) return Outcome::kFailed;
  if (!ShowWelcomePages()) return Outcome::kRefused;
  for (const std::string& application : script_.required_applications) {
    if (application == "Microsoft Exchange Administrator" && !CheckExchangeAdministrator()) {
      return Outcome::kRefused;
    }
  }
  if (!CheckPreviousVersion()) return fail();
  if (install_folder_.empty()) install_folder_ = files_.ProgramFilesFolder() + "Brenvik";
  if (!ChooseInstallFolder()) return fail();

  install_folder_ = WithoutTrailingSlash(install_folder_);
  if (!silent_) files_.SetOwner(&window_);
  if (!files_.CreateFolder(install_folder_)) {
    files_.Error().ShowError();
    return fail();
  }
  ReplaceFolderMarkers();

  if (configurations_.empty()) {
    if (!InstallOnce(true)) return fail();
  } else if (!InstallConfigurations()) {
    return fail();
  }

  if (!server_.empty()) WriteClientRecord();
  for (const ConfigEntry& configuration : configurations_) {
    const std::string name = configuration.file_name.substr(0, 3) + ".dat";
    (void)files_.Copy(ClientFilesFolder(server_) + "/" + configuration.file_name,
                      install_folder_ + name);
  }
  RunFixExt();
  ShowCompletion();
  RunFinalCommand();
  return Outcome::kCompleted;
}

}  // namespace tessary::setup
