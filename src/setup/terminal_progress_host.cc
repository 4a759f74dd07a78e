#include "setup/terminal_progress_host.h"

#include "setup/setup_progress.h"

namespace tessary::setup {

int TerminalProgressHost::RunModal(const platform::ProgressDialogLayout& layout,
                                   platform::ProgressEvents& events) {
  {
    std::lock_guard lock(mutex_);
    running_ = true;
    status_id_ = layout.status_id;
  }
  events.OnInitDialog();
  std::unique_lock lock(mutex_);
  ended_.wait(lock, [this] { return !running_; });
  return result_;
}

void TerminalProgressHost::EndModal(int result) {
  std::lock_guard lock(mutex_);
  if (!running_) return;
  running_ = false;
  result_ = result;
  ended_.notify_all();
}

void TerminalProgressHost::SetControlText(int control_id, const std::string& text) {
  std::lock_guard lock(mutex_);
  if (!running_) return;
  if (control_id == CSetupProgress::kToTextId || (status_id_ != 0 && control_id == status_id_)) {
    out_ << text << "\n" << std::flush;
  }
}

void TerminalProgressHost::SetBarRange(int control_id, int upper, int) {
  std::lock_guard lock(mutex_);
  uppers_[control_id] = upper;
}

int TerminalProgressHost::BarUpper(int control_id) {
  std::lock_guard lock(mutex_);
  auto found = uppers_.find(control_id);
  return found == uppers_.end() ? 0 : found->second;
}

}  // namespace tessary::setup
