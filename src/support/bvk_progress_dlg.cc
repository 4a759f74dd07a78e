#include "support/bvk_progress_dlg.h"

#include <chrono>
#include <thread>

namespace tessary {
namespace {
// How long the worker waits for the window before it starts the work anyway.
constexpr std::chrono::milliseconds kReadyTimeout{60000};
}  // namespace

CBVKProgressDlg::CBVKProgressDlg(platform::ProgressHost& host, const platform::Window* parent,
                                 int template_id, int progress_id, int status_id, int animation_id,
                                 int cancel_id)
    : host_(host) {
  layout_.parent = parent;
  layout_.template_id = template_id;
  layout_.progress_id = progress_id;
  layout_.status_id = status_id;
  layout_.animation_id = animation_id;
  layout_.cancel_id = cancel_id;
  error_.SetOwner(parent);
}

CBVKProgressDlg::~CBVKProgressDlg() = default;

std::int32_t CBVKProgressDlg::Run(std::unique_ptr<CBVKProgressDlg> dialog) {
  CBVKProgressDlg& self = *dialog;
  std::thread worker([&self] { self.Work(); });
  self.host_.RunModal(self.layout_, self);
  self.window_shown_ = false;
  // Releases a worker still waiting for a window that never came.
  self.SignalReady();
  worker.join();
  return self.result_;
}

void CBVKProgressDlg::Work() {
  {
    std::unique_lock lock(ready_mutex_);
    ready_changed_.wait_for(lock, kReadyTimeout, [this] { return ready_; });
  }
  result_ = work_ ? work_(*this) : 1;
  if (WindowShown()) {
    window_shown_ = false;
    host_.EndModal(result_);
  }
}

void CBVKProgressDlg::SignalReady() {
  {
    std::lock_guard lock(ready_mutex_);
    ready_ = true;
  }
  ready_changed_.notify_all();
}

void CBVKProgressDlg::OnInitDialog() {
  if (animation_resource_ != 0) host_.PlayAnimation(layout_.animation_id, animation_resource_);
  if (!show_progress_bar_) host_.ShowControl(layout_.progress_id, false);
  window_shown_ = true;
  SignalReady();
}

void CBVKProgressDlg::OnCommand(int control_id) {
  // The close box and Escape ask for the same as the Cancel button: ending the modal loop while
  // the work goes on would leave the work running with nobody to see it end.
  if (control_id != layout_.cancel_id && control_id != platform::kIdCancel) return;
  // A further request while the work winds down only says again what is happening.
  const bool again = cancelled_.exchange(true);
  host_.SetControlText(layout_.status_id, kCancelText);
  if (again) return;
  host_.ShowControl(layout_.progress_id, false);
  host_.EnableControl(layout_.cancel_id, false);
}

void CBVKProgressDlg::SetStatusText(const std::string& text) { SetItemText(layout_.status_id, text); }

void CBVKProgressDlg::SetItemText(int control_id, const std::string& text) {
  if (IsCancelled() || !WindowShown()) return;
  host_.SetControlText(control_id, text);
}

void CBVKProgressDlg::SetRange(int upper, int step) {
  bar_upper_ = upper;
  bar_step_ = step;
  bar_position_ = 0;
  if (WindowShown()) host_.SetBarRange(layout_.progress_id, upper, step);
}

bool CBVKProgressDlg::StepProgress(int count) {
  if (IsCancelled()) return false;
  // Step messages past the end would wrap the bar around to its start; count in whole steps
  // so that a step size above one cannot overshoot either.
  const long long target =
      static_cast<long long>(bar_position_) + static_cast<long long>(count) * bar_step_;
  if (target >= bar_upper_) return FillProgress(0);
  for (int i = 0; i < count; ++i) {
    if (WindowShown()) host_.StepBar(layout_.progress_id);
    bar_position_ += bar_step_;
  }
  return true;
}

bool CBVKProgressDlg::FillProgress(int control_id) {
  if (IsCancelled()) return false;
  if (control_id == 0 || control_id == layout_.progress_id) {
    bar_position_ = bar_upper_ > 0 ? bar_upper_ - 1 : 0;
    if (WindowShown()) host_.SetBarPosition(layout_.progress_id, bar_position_);
  } else if (WindowShown()) {
    host_.SetBarPosition(control_id, host_.BarUpper(control_id) - 1);
  }
  return true;
}

}  // namespace tessary
