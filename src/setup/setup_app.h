#pragma once
// setup from process start to the end of the run: the standard folders, the earlier install
// folder, the command line, the Office check, the scripts, then the stages.

#include <string>

#include "platform/ui/progress_host.h"

namespace tessary::setup {

class CSetupDlg;
class SetupPages;

class CSetupApp {
 public:
  // Exit status of the process.
  static constexpr int kCompleted = 0;
  static constexpr int kFailed = 1;
  static constexpr int kRefused = 2;

  // pages null: message boxes and the folder picker of the process's UiHost.
  explicit CSetupApp(platform::ProgressHost* progress_host = nullptr, SetupPages* pages = nullptr)
      : progress_host_(progress_host), pages_(pages) {}

  // Runs setup for the whole command-line text; the status says how it ended.
  int Run(const std::string& command_line);

  // Prepares the run without starting the stages; false when setup must end (the message is
  // shown). Exposed for tests.
  [[nodiscard]] bool Prepare(const std::string& command_line, CSetupDlg* dialog);

 private:
  platform::ProgressHost* progress_host_;
  SetupPages* pages_;
};

// True when the Office key lists a version above 8 ("9.0", "10.0", ...).
bool HasNewerOffice();

}  // namespace tessary::setup
