// The install steps: the required-application check, the folder choice, sub-folders, files,
// the component list, shortcuts, the script copy, the completion page and the programs started
// at the end. The registry step has its own file.

#include <set>

#include "platform/atomic_copy.h"
#include "platform/interrupt.h"
#include "platform/special_folders.h"
#include "setup/setup_dlg.h"
#include "setup/setup_log.h"
#include "setup/setup_progress.h"
#include "setup/text.h"
#include "support/bvk_registry.h"

namespace tessary::setup {

using platform::kIdIgnore;
using platform::kIdRetry;

bool CSetupDlg::CheckExchangeAdministrator() {
  for (;;) {
    bool exists = false;
    if (files_.Exists(files_.SystemFolder() + "Dapi.dll", &exists)) {
      if (exists) return true;
      platform::CurrentUiHost().ShowMessageBox(
          silent_ ? nullptr : &window_, "Setup",
          "The application 'Microsoft Exchange Administrator' must be installed on this machine "
          "in order to install Brenvik Ostler.",
          platform::kMbOk | platform::kMbIconStop);
      return false;
    }
    const std::string reason = files_.Error().Text();
    CBVKError question;
    question.SetText(
        "Setup could not determine if you have the application 'Microsoft Exchange "
        "Administrator' installed.\nIt must be installed in order to install Brenvik Ostler.");
    question.AddLine(reason);
    const int answer = question.AskAbortRetryIgnoreStop();
    if (answer == kIdIgnore) return true;
    if (answer != kIdRetry) return false;
  }
}

bool CSetupDlg::ChooseInstallFolder() {
  CBVKRegistry registry;
  std::string found;
  if (script_.product_code == "KP") found = registry.GetAppPath("Lumora");
  if (found.empty()) found = registry.GetAppPath("Brenvik");
  if (found.empty()) found = registry.GetAppPath("Lumora");
  if (!found.empty()) {
    install_folder_ = found;
    return true;
  }
  if (silent_) return true;
  std::string folder = install_folder_;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  for (;;) {
    const std::optional<std::string> chosen = pages_->InstallFolder(&window_, folder);
    if (!chosen) return false;
    folder = *chosen;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (!EndsWithMakerName(folder)) folder += "/Brenvik";
    if (files_.CreateFolder(folder)) {
      install_folder_ = folder + "/";
      return true;
    }
    ShowSetupError(files_.Error());
  }
}

bool CSetupDlg::OpenSetupLog() {
  log_.SetDisabled(update_mode_);
  const std::string folder = install_folder_.size() > 1 && install_folder_.back() == '/'
                                 ? install_folder_.substr(0, install_folder_.size() - 1)
                                 : install_folder_;
  install_folder_ = folder + "/";
  if (!log_.Open(install_folder_ + "Setup" + script_.product_code + ".log",
                 CBVKLogFile::Overwrite::No)) {
    log_.Error().ShowError();
    return false;
  }
  if (!Log(kLogProduct + script_.product_name) || !Log(kLogFolder + folder)) return false;
  for (const std::string& name : script_.removal_only_files) {
    if (!Log(kLogRemovalFile + install_folder_ + name)) return false;
  }
  return true;
}

bool CSetupDlg::CreateLoggedFolder(const std::string& folder, bool log_folder) {
  // The folders missing on the way down from the install folder, deepest first.
  std::vector<std::string> missing;
  std::string at = folder;
  while (at.size() > 1 && at.back() == '/') at.pop_back();
  const std::string own = at;
  while (at.size() > install_folder_.size() && at.starts_with(install_folder_)) {
    bool exists = true;
    if (!files_.Exists(at, &exists) || exists) break;
    missing.push_back(at);
    at.erase(at.find_last_of('/'));
  }
  if (!files_.CreateFolder(folder)) {
    files_.Error().ShowError();
    return false;
  }
  // Every folder this install created goes into the log, so a removal takes it away again.
  for (auto created = missing.rbegin(); created != missing.rend(); ++created) {
    if (*created == own && log_folder) break;
    if (!Log(kLogSubFolder + *created)) return false;
  }
  return !log_folder || Log(kLogSubFolder + folder);
}

bool CSetupDlg::CreateSubFolders() {
  for (const std::string& entry : script_.sub_folders) {
    if (!CreateLoggedFolder(install_folder_ + entry, true)) return false;
  }
  return true;
}

std::string CSetupDlg::DestinationFolder(const FileEntry& entry) const {
  switch (entry.kind) {
    case kSystemFile:
      return files_.SystemFolder();
    case kSharedDaoFile:
      return files_.CommonFilesFolder() + "Microsoft Shared/DAO/";
    case kSubFolderFile:
      return CBVKFileUtil::AddTrailingSlash(install_folder_) + entry.sub_folder + "/";
    default:
      return install_folder_;
  }
}

void CSetupDlg::RemoveStaleCopies() {
  std::set<std::string> folders;
  for (const FileEntry& entry : script_.files) folders.insert(DestinationFolder(entry));
  for (const std::string& folder : folders) {
    std::vector<std::string> names;
    if (!files_.ListFiles(folder, &names, CBVKFileUtil::IncludeFiles::Yes)) continue;
    for (const std::string& name : names) {
      // What an earlier copy that was killed left behind; a folder of that name stays.
      if (platform::IsCopyTemporaryName(name)) (void)files_.Delete(folder + name);
    }
  }
}

std::string CSetupDlg::TraceFile() const {
  return install_folder_ + "Setup" + script_.product_code + "Files.txt";
}

std::string CSetupDlg::SourceFolderOfFiles() const {
  return server_.empty() ? files_.SourceFolder() : ClientFilesFolder(server_) + "/";
}

bool CSetupDlg::CopyFiles() {
  CSetupProgress progress(silent_ ? nullptr : progress_host_, &window_,
                          CSetupProgress::kCopyTemplate, CSetupProgress::kCopyCancelId, 0);
  if (!silent_) files_.SetOwner(&window_);
  // Ctrl-C stops the copy in hand (its temporary file removed) and cancels the step, as the
  // progress window's Cancel does.
  platform::ScopedInterruptCatcher interrupt;
  auto work = [this](CSetupProgress& dialog) -> std::int32_t {
    (void)files_.Delete(TraceFile());
    RemoveStaleCopies();
    if (!silent_) dialog.SetRange(static_cast<int>(script_.files.size()), 1);
    for (const FileEntry& entry : script_.files) {
      std::string destination_name = entry.source_name;
      CBVKFileUtil::ExpandName(&destination_name);
      const std::string source_folder = SourceFolderOfFiles();
      if (platform::InterruptRequested() || (!silent_ && !dialog.StepProgress())) return 0;
      const bool is_dll = destination_name.size() >= 3 &&
                          destination_name.compare(destination_name.size() - 3, 3, "dll") == 0;
      const std::string destination_folder = DestinationFolder(entry);
      // The system and shared folders of a fresh machine may not be there yet; what is created
      // inside the install folder is logged.
      bool exists = true;
      if (files_.Exists(destination_folder, &exists) && !exists &&
          !CreateLoggedFolder(destination_folder, false)) {
        return 0;
      }
      if (!silent_) {
        dialog.SetItemText(CSetupProgress::kFromTextId, source_folder + entry.source_name);
        dialog.SetItemText(CSetupProgress::kToTextId, destination_folder + destination_name);
      }
      if (!files_.Install(entry.source_name, destination_name, source_folder, destination_folder,
                          is_dll && entry.register_flag, entry.kind == kSharedDaoFile,
                          CBVKFileUtil::Interactive::Yes, TraceFile())) {
        if (platform::InterruptRequested()) files_.Error().ShowError();
        return 0;
      }
      if (entry.kind != kProgramFile && entry.kind != kSubFolderFile) continue;
      bool removal_only = false;
      for (const std::string& name : script_.removal_only_files) {
        removal_only = removal_only || name == destination_name;
      }
      if (!removal_only && !Log(kLogFile + destination_folder + destination_name)) return 0;
    }
    return 1;
  };
  return progress.Run(work) == 1;
}

bool CSetupDlg::UpdateComponentList() {
  const std::string list = install_folder_ + "Comp.dat";
  bool exists = false;
  std::vector<std::string> lines;
  if (!files_.Exists(list, &exists) || (exists && !files_.ReadLines(list, &lines))) {
    files_.Error().ShowError();
    return false;
  }
  for (const std::string& component : script_.components) {
    bool listed = false;
    for (const std::string& line : lines) listed = listed || line == component;
    if (!listed) lines.push_back(component);
  }
  if (!files_.WriteLines(list, lines, CBVKFileUtil::Overwrite::Yes)) {
    files_.Error().ShowError();
    return false;
  }
  return true;
}

bool CSetupDlg::CreateShortcuts() {
  std::vector<const FileEntry*> entries;
  for (const FileEntry& entry : script_.files) {
    if (!entry.shortcut_name.empty()) entries.push_back(&entry);
  }
  std::optional<std::string> programs =
      platform::ProgramsFolder(platform::ProgramsScope::kAllUsers);
  if (!programs) programs = platform::ProgramsFolder(platform::ProgramsScope::kCurrentUser);
  if (!programs || entries.empty() || script_.product_name.empty()) return true;
  const std::string folder = *programs + "Brenvik/" + script_.product_name;
  if (!files_.CreateFolder(folder)) return true;  // the install goes on without shortcuts
  if (!Log(kLogStartFolder + folder)) return false;
  for (const FileEntry* entry : entries) {
    std::string name = entry->source_name;
    CBVKFileUtil::ExpandName(&name);
    // The desktop only lists entries whose name ends in ".desktop".
    const std::string link = folder + "/" + entry->shortcut_name + ".desktop";
    if (!Log(kLogShortcut + link)) return false;
    (void)files_.CreateShortcut(install_folder_ + name, link, entry->shortcut_name);
  }
  return true;
}

bool CSetupDlg::CopyScript() {
  const std::string copy = install_folder_ + script_.copy_name;
  if (!files_.Copy(files_.SourceFolder() + "Files.dat", copy)) {
    files_.Error().ShowError();
    return false;
  }
  return Log(kLogFile + copy);
}

void CSetupDlg::ShowCompletion() {
  if (silent_) return;
  const std::string readme = "ReadMe-" + script_.product_code + ".txt";
  bool has_readme = false;
  for (const FileEntry& entry : script_.files)
    has_readme = has_readme || entry.source_name == readme;
  CompletionPage page;
  page.product_name = script_.product_name;
  page.offer_information = !script_.product_name.empty() && has_readme;
  page.note = script_.completion_note.empty()
                  ? "Brenvik components will not be available until you restart your Microsoft "
                    "Outlook application."
                  : script_.completion_note;
  if (!pages_->Completion(&window_, page)) return;
  if (!files_.Run(files_.WindowsFolder(), "Notepad.exe", install_folder_ + readme)) {
    files_.Error().ShowError();
  }
}

void CSetupDlg::RunFinalCommand() {
  if (script_.run_command.empty()) return;
  (void)files_.GetSystemFolder();
  const std::string command =
      ExpandRunCommand(script_.run_command, files_.SystemFolder(), install_folder_);
  if (!files_.Run({}, {}, command)) files_.Error().ShowError();
}

void CSetupDlg::RunFixExt() {
  bool exists = false;
  // Nothing to report when it fails, and nothing to start when the product has none.
  if (files_.Exists(install_folder_ + "FixExt.exe", &exists) && exists) {
    (void)files_.Run(install_folder_, "FixExt.exe", {});
  }
}

}  // namespace tessary::setup
