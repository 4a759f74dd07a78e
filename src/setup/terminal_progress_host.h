#pragma once
// setup's progress window on a terminal: one line per file copied or product removed, written
// to the stream it was given. Cancel cannot be pressed there; Ctrl-C ends the process.

#include <condition_variable>
#include <map>
#include <mutex>
#include <ostream>

#include "platform/ui/progress_host.h"

namespace tessary::setup {

class TerminalProgressHost : public platform::ProgressHost {
 public:
  // Lines of these controls are written: the copy window's "To:" text and the status line.
  explicit TerminalProgressHost(std::ostream& out) : out_(out) {}

  int RunModal(const platform::ProgressDialogLayout& layout, platform::ProgressEvents& events) override;
  void EndModal(int result) override;
  void SetControlText(int control_id, const std::string& text) override;
  void ShowControl(int, bool) override {}
  void EnableControl(int, bool) override {}
  void PlayAnimation(int, int) override {}
  void SetBarRange(int control_id, int upper, int step) override;
  void StepBar(int) override {}
  void SetBarPosition(int, int) override {}
  int BarUpper(int control_id) override;

 private:
  std::ostream& out_;
  std::mutex mutex_;
  std::condition_variable ended_;
  bool running_ = false;
  int result_ = 0;
  int status_id_ = 0;
  std::map<int, int> uppers_;
};

}  // namespace tessary::setup
