#pragma once
// The ProgressHost on Qt Widgets. RunModal on the user-interface thread runs the dialog's own
// modal loop there (the main program's arrangement: the work runs on a worker thread). RunModal
// on another thread (setup's arrangement: a window thread beside the thread that works) shows
// the dialog on the user-interface thread and waits there for Cancel presses and the end. Every
// other call is carried out on the user-interface thread and returns when it is done.

#include <condition_variable>
#include <deque>
#include <mutex>

#include "gui/window_registry.h"
#include "platform/ui/progress_host.h"

namespace tessary::gui {

class ProgressDialog;

class QtProgressHost : public platform::ProgressHost {
 public:
  explicit QtProgressHost(WindowRegistry& windows) : windows_(windows) {}

  int RunModal(const platform::ProgressDialogLayout& layout,
               platform::ProgressEvents& events) override;
  void EndModal(int result) override;
  void SetControlText(int control_id, const std::string& text) override;
  void ShowControl(int control_id, bool show) override;
  void EnableControl(int control_id, bool enable) override;
  void PlayAnimation(int control_id, int resource_id) override;
  void SetBarRange(int control_id, int upper, int step) override;
  void StepBar(int control_id) override;
  void SetBarPosition(int control_id, int position) override;
  int BarUpper(int control_id) override;

 private:
  ProgressDialog* NewDialog(const platform::ProgressDialogLayout& layout);
  int RunOnThisThread(const platform::ProgressDialogLayout& layout,
                      platform::ProgressEvents& events);
  int RunBesideTheWindow(const platform::ProgressDialogLayout& layout,
                         platform::ProgressEvents& events);
  // Runs fn with the dialog now shown, on the user-interface thread; nothing without one.
  template <class Fn>
  void WithDialog(Fn fn);

  WindowRegistry& windows_;
  // Touched on the user-interface thread only.
  ProgressDialog* dialog_ = nullptr;
  bool own_loop_ = false;
  // The other thread's side: buttons pressed and the end, handed over under the mutex.
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<int> commands_;
  bool ended_ = false;
  int result_ = 0;
};

}  // namespace tessary::gui
