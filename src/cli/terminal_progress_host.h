#pragma once
// The progress dialog on a terminal: a one-line bar with the status and the counts on the error
// stream (only when that is a terminal, and only once a run has lasted more than a moment), and
// Ctrl-C as the Cancel button: the first interrupt presses Cancel, so the work ends after the
// current entry and its summary is still printed; a second one ends the program at once.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <ostream>
#include <string>

#include "platform/ui/progress_host.h"

namespace tessary::cli {

class TerminalProgressHost : public platform::ProgressHost {
 public:
  // draw: whether the bar is drawn (the error stream is a terminal).
  TerminalProgressHost(std::ostream& err, bool draw) : err_(err), draw_(draw) {}

  // What SIGINT does while a dialog is shown: the first call presses Cancel, a later one ends
  // the process with status 130. Safe to call from a signal handler.
  static void Interrupt();
  // The number of interrupts since the process started.
  static int Interrupts();

  int RunModal(const platform::ProgressDialogLayout& layout, platform::ProgressEvents& events) override;
  void EndModal(int result) override;
  void SetControlText(int control_id, const std::string& text) override;
  void ShowControl(int, bool) override {}
  void EnableControl(int, bool) override {}
  void PlayAnimation(int, int) override {}
  void SetBarRange(int control_id, int upper, int step) override;
  void StepBar(int control_id) override;
  void SetBarPosition(int control_id, int position) override;
  int BarUpper(int control_id) override;

  // The line the bar shows now (without the terminal's control characters).
  std::string BarLine();

 private:
  void Draw();

  std::ostream& err_;
  bool draw_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool running_ = false;
  bool ended_ = false;
  int result_ = 0;
  platform::ProgressDialogLayout layout_;
  std::map<int, std::string> texts_;
  int upper_ = 0;
  int step_ = 1;
  int position_ = 0;
  bool drawn_ = false;
};

}  // namespace tessary::cli
