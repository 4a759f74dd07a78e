#pragma once
// A ProgressHost for tests: runs the modal loop on the calling thread, carries out every control
// update there as a sent message would, records each one as a line of text, and presses
// buttons when the script says so.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/ui/progress_host.h"

namespace tessary {

class ScriptedProgressHost : public platform::ProgressHost {
 public:
  // Presses the button right after the bar's count-th update (a step or a new position), before
  // the thread that made it goes on (0: as the dialog opens, before the work function starts).
  void PressAfterProgress(int count, int control_id);
  // Fails to show any window: RunModal returns -1 at once.
  void RefuseToShow() { refuse_to_show_ = true; }

  // One line per update, in order: "text <id>: <text>", "show <id>: 0|1", "enable <id>: 0|1",
  // "animation <id>: <resource>", "range <id>: <upper> step <step>", "step <id>",
  // "position <id>: <position>", "end: <result>". Read after RunModal has returned.
  const std::vector<std::string>& Log() const { return log_; }
  // The last text set on a control, or "" when none was set.
  std::string ControlText(int control_id) const;
  // Step and position updates of the bars so far.
  int ProgressCount() const { return progress_updates_; }
  const platform::ProgressDialogLayout& Shown() const { return layout_; }

  int RunModal(const platform::ProgressDialogLayout& layout, platform::ProgressEvents& events) override;
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
  struct Press {
    int after_updates;
    int control_id;
  };
  // Runs task on the modal loop's thread and waits for it; ignored while no dialog is shown.
  void Send(const std::function<void()>& task);
  void PressDue();

  std::vector<Press> presses_;
  bool refuse_to_show_ = false;
  platform::ProgressDialogLayout layout_;
  platform::ProgressEvents* events_ = nullptr;
  std::thread::id ui_thread_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::function<void()>> queue_;
  std::size_t done_ = 0;
  std::size_t queued_ = 0;
  bool running_ = false;
  bool ended_ = false;
  int result_ = 0;
  std::vector<std::string> log_;
  int progress_updates_ = 0;
  int bar_upper_ = 0;
};

}  // namespace tessary
