#pragma once
// The install run: the state that the scripts, the command line and the pages build up, and the
// stages that lead from the welcome page to the completion page. Pages and questions go through
// the process's UI host; progress windows through the progress host (none in a silent run).

#include <optional>
#include <string>
#include <vector>

#include "platform/ui/progress_host.h"
#include "platform/ui/ui_host.h"
#include "setup/command_line.h"
#include "setup/install_script.h"
#include "setup/setup_pages.h"
#include "support/bvk_file_util.h"
#include "support/bvk_log_file.h"

namespace tessary::setup {

class CSetupDlg {
 public:
  static constexpr char kTitle[] = "Brenvik Setup";
  static constexpr char kUpdateTitle[] = "Brenvik Update";
  static constexpr char kFinalMessage[] =
      "Setup did not complete successfully.\nSetup may be run again to complete the installation.";

  // How a run ended: completed, refused on a page (quietly), or failed with the final message.
  enum class Outcome { kCompleted, kRefused, kFailed };

  // pages null: message boxes and the folder picker of the process's UiHost.
  explicit CSetupDlg(platform::ProgressHost* progress_host = nullptr, SetupPages* pages = nullptr);

  // Start-up, before the stages.
  CBVKFileUtil& Files() { return files_; }
  InstallScript& Script() { return script_; }
  const InstallScript& Script() const { return script_; }
  std::string& InstallFolder() { return install_folder_; }
  std::string& Server() { return server_; }
  std::vector<ConfigEntry>& Configurations() { return configurations_; }
  void SetSilent(bool silent) { silent_ = silent; }
  bool Silent() const { return silent_; }
  void SetNewerOffice(bool newer) { newer_office_ = newer; }
  bool NewerOffice() const { return newer_office_; }
  const platform::Window& Window() const { return window_; }
  // The bytes of the product's picture file for the main window, when the source folder has one.
  const std::optional<std::string>& ProductPicture() const { return product_picture_; }

  // Reads one script into the lists. Only an unreadable ".../Files.dat" fails (its message is
  // shown with the caption "Setup"); other missing scripts add nothing. A byte-order mark is
  // dropped and UTF-16 read; any script whose PROD or CODE line cannot be read fails.
  [[nodiscard]] bool ReadScript(const std::string& path);

  // Refuses, with its message, a script whose names would lead outside their folders.
  [[nodiscard]] bool CheckScriptNames();

  // Runs every stage in order; shows the final message itself on failure.
  Outcome RunStages();

  // The install steps, each failing with its message shown.
  [[nodiscard]] bool CheckExchangeAdministrator();
  [[nodiscard]] bool ChooseInstallFolder();
  [[nodiscard]] bool OpenSetupLog();
  [[nodiscard]] bool CreateSubFolders();
  [[nodiscard]] bool CopyFiles();
  [[nodiscard]] bool UpdateComponentList();
  [[nodiscard]] bool WriteRegistry();
  [[nodiscard]] bool CreateShortcuts();
  [[nodiscard]] bool CopyScript();
  void ShowCompletion();
  void RunFinalCommand();
  void RunFixExt();
  [[nodiscard]] bool CheckPreviousVersion();
  void WriteClientRecord();

 private:
  bool ShowWelcomePages();
  bool InstallOnce(bool with_copy);
  bool InstallConfigurations();
  void ReplaceFolderMarkers();
  bool Log(const std::string& line);
  // Creates the folder with its missing parents and logs each folder created inside the install
  // folder, the top one first; log_folder logs the folder itself also when it was there.
  bool CreateLoggedFolder(const std::string& folder, bool log_folder);
  std::string DestinationFolder(const FileEntry& entry) const;
  // Deletes the temporary files that killed copies left in the folders the copy step writes.
  void RemoveStaleCopies();
  std::string TraceFile() const;
  std::string SourceFolderOfFiles() const;
  // Shows the record's text as setup's own error: caption "Setup", stop icon.
  static void ShowSetupError(const CBVKError& error);

  platform::ProgressHost* progress_host_;
  MessageBoxPages message_box_pages_;
  SetupPages* pages_;
  platform::Window window_{kTitle};
  CBVKFileUtil files_;
  CBVKLogFile log_;
  InstallScript script_;
  std::string configuration_name_;
  std::string install_folder_;
  std::string server_;
  std::vector<ConfigEntry> configurations_;
  bool silent_ = false;
  bool update_mode_ = false;
  bool newer_office_ = false;
  std::optional<std::string> product_picture_;
};

}  // namespace tessary::setup
