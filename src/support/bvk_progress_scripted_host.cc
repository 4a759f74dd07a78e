#include "support/bvk_progress_scripted_host.h"

#include <algorithm>

namespace tessary {

void ScriptedProgressHost::PressAfterProgress(int count, int control_id) {
  presses_.push_back({count, control_id});
}

std::string ScriptedProgressHost::ControlText(int control_id) const {
  const std::string prefix = "text " + std::to_string(control_id) + ": ";
  for (auto line = log_.rbegin(); line != log_.rend(); ++line) {
    if (line->rfind(prefix, 0) == 0) return line->substr(prefix.size());
  }
  return {};
}

int ScriptedProgressHost::RunModal(const platform::ProgressDialogLayout& layout,
                                   platform::ProgressEvents& events) {
  if (refuse_to_show_) return -1;
  {
    std::lock_guard lock(mutex_);
    layout_ = layout;
    events_ = &events;
    ui_thread_ = std::this_thread::get_id();
    running_ = true;
    ended_ = false;
  }
  // A press due at once comes before the initialisation releases the work function, so that
  // the work never starts uncancelled.
  PressDue();
  events.OnInitDialog();
  std::unique_lock lock(mutex_);
  while (!ended_) {
    changed_.wait(lock, [this] { return ended_ || !queue_.empty(); });
    while (!queue_.empty()) {
      std::function<void()> task = std::move(queue_.front());
      queue_.pop_front();
      lock.unlock();
      task();
      lock.lock();
      ++done_;
      changed_.notify_all();
    }
  }
  running_ = false;
  events_ = nullptr;
  changed_.notify_all();
  return result_;
}

void ScriptedProgressHost::Send(const std::function<void()>& task) {
  std::unique_lock lock(mutex_);
  if (!running_ || ended_) return;
  if (std::this_thread::get_id() == ui_thread_) {
    lock.unlock();
    task();
    return;
  }
  queue_.push_back(task);
  const std::size_t ticket = ++queued_;
  changed_.notify_all();
  changed_.wait(lock, [&] { return done_ >= ticket || !running_; });
}

void ScriptedProgressHost::PressDue() {
  for (auto press = presses_.begin(); press != presses_.end();) {
    if (press->after_updates == progress_updates_) {
      const int id = press->control_id;
      press = presses_.erase(press);
      events_->OnCommand(id);
    } else {
      ++press;
    }
  }
}

void ScriptedProgressHost::EndModal(int result) {
  Send([this, result] {
    log_.push_back("end: " + std::to_string(result));
    std::lock_guard lock(mutex_);
    result_ = result;
    ended_ = true;
  });
}

void ScriptedProgressHost::SetControlText(int control_id, const std::string& text) {
  Send([=, this] { log_.push_back("text " + std::to_string(control_id) + ": " + text); });
}

void ScriptedProgressHost::ShowControl(int control_id, bool show) {
  Send([=, this] {
    log_.push_back("show " + std::to_string(control_id) + ": " + (show ? "1" : "0"));
  });
}

void ScriptedProgressHost::EnableControl(int control_id, bool enable) {
  Send([=, this] {
    log_.push_back("enable " + std::to_string(control_id) + ": " + (enable ? "1" : "0"));
  });
}

void ScriptedProgressHost::PlayAnimation(int control_id, int resource_id) {
  Send([=, this] {
    log_.push_back("animation " + std::to_string(control_id) + ": " + std::to_string(resource_id));
  });
}

void ScriptedProgressHost::SetBarRange(int control_id, int upper, int step) {
  Send([=, this] {
    bar_upper_ = upper;
    log_.push_back("range " + std::to_string(control_id) + ": " + std::to_string(upper) + " step " +
                   std::to_string(step));
  });
}

void ScriptedProgressHost::StepBar(int control_id) {
  Send([=, this] {
    ++progress_updates_;
    log_.push_back("step " + std::to_string(control_id));
    PressDue();
  });
}

void ScriptedProgressHost::SetBarPosition(int control_id, int position) {
  Send([=, this] {
    ++progress_updates_;
    log_.push_back("position " + std::to_string(control_id) + ": " + std::to_string(position));
    PressDue();
  });
}

int ScriptedProgressHost::BarUpper(int control_id) {
  int upper = 0;
  Send([&, this] { upper = control_id == layout_.progress_id ? bar_upper_ : 0; });
  return upper;
}

}  // namespace tessary
