#include "setup/setup_progress.h"

#include <pthread.h>

#include <chrono>
#include <csignal>
#include <thread>

namespace tessary::setup {

CSetupProgress::CSetupProgress(platform::ProgressHost* host, const platform::Window* parent,
                               int template_id, int cancel_id, int status_id,
                               int animation_resource)
    : host_(host), status_id_(status_id), animation_resource_(animation_resource) {
  layout_.parent = parent;
  layout_.template_id = template_id;
  layout_.progress_id = kProgressBarId;
  layout_.status_id = status_id;
  layout_.animation_id = kAnimationId;
  layout_.cancel_id = cancel_id;
}

std::int32_t CSetupProgress::Run(const std::function<std::int32_t(CSetupProgress&)>& work) {
  std::thread window;
  if (host_) {
    window = std::thread([this] {
      // Ctrl-C belongs to the work on this side: a read it waits in must be the one it ends.
      sigset_t interrupt;
      sigemptyset(&interrupt);
      sigaddset(&interrupt, SIGINT);
      pthread_sigmask(SIG_BLOCK, &interrupt, nullptr);
      host_->RunModal(layout_, *this);
      shown_ = false;
      std::lock_guard lock(mutex_);
      ready_ = true;  // also releases a wait when no window could be shown
      changed_.notify_all();
    });
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(60000), [this] { return ready_; });
  }
  const std::int32_t result = work(*this);
  if (window.joinable()) {
    // Also ends a window that never finished initialising; without one it does nothing.
    host_->EndModal(result);
    window.join();
  }
  return result;
}

void CSetupProgress::OnInitDialog() {
  if (animation_resource_) host_->PlayAnimation(kAnimationId, animation_resource_);
  shown_ = true;
  std::lock_guard lock(mutex_);
  ready_ = true;
  changed_.notify_all();
}

void CSetupProgress::OnCommand(int control_id) {
  if (control_id != layout_.cancel_id || cancelled_.exchange(true)) return;
  if (status_id_) host_->SetControlText(status_id_, kCancelText);
  host_->ShowControl(kProgressBarId, false);
  host_->EnableControl(layout_.cancel_id, false);
}

void CSetupProgress::SetItemText(int control_id, const std::string& text) {
  if (Shown() && !IsCancelled()) host_->SetControlText(control_id, text);
}

void CSetupProgress::SetStatusText(const std::string& text) {
  if (status_id_) SetItemText(status_id_, text);
}

void CSetupProgress::SetRange(int upper, int step) {
  upper_ = upper;
  step_ = step;
  position_ = 0;
  if (Shown()) host_->SetBarRange(kProgressBarId, upper, step);
}

bool CSetupProgress::StepProgress(int count) {
  if (IsCancelled()) return false;
  if (position_ + count * step_ >= upper_) {
    position_ = upper_ > 0 ? upper_ - 1 : 0;
    if (Shown()) host_->SetBarPosition(kProgressBarId, position_);
    return true;
  }
  for (int i = 0; i < count; ++i) {
    position_ += step_;
    if (Shown()) host_->StepBar(kProgressBarId);
  }
  return true;
}

}  // namespace tessary::setup
