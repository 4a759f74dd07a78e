#pragma once
// setup's arrangement of the progress dialog: the work runs on the calling thread while, when a
// window is wanted, a second thread shows the dialog. Without a window (a silent run) nothing is
// shown and the progress calls only keep count.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "platform/ui/progress_host.h"

namespace tessary::setup {

class CSetupProgress : private platform::ProgressEvents {
 public:
  static constexpr int kCopyTemplate = 297;
  static constexpr int kRemoveTemplate = 298;
  static constexpr int kProgressBarId = 1122;
  static constexpr int kAnimationId = 1112;
  static constexpr int kFromTextId = 1023;
  static constexpr int kToTextId = 1024;
  static constexpr int kCopyCancelId = 1060;
  static constexpr int kRemoveCancelId = 2;
  static constexpr int kRemoveAnimation = 307;
  static constexpr char kCancelText[] = "Processing cancel message, please wait...";

  // host null: no window at all.
  CSetupProgress(platform::ProgressHost* host, const platform::Window* parent, int template_id,
                 int cancel_id, int status_id, int animation_resource = 0);
  ~CSetupProgress() = default;

  // Shows the window (when there is a host), runs the work here and returns its result.
  std::int32_t Run(const std::function<std::int32_t(CSetupProgress&)>& work);

  void SetItemText(int control_id, const std::string& text);
  void SetStatusText(const std::string& text);
  void SetRange(int upper, int step);
  // False once cancelled; otherwise advances the bar, never past one below its end.
  bool StepProgress(int count = 1);
  bool IsCancelled() const { return cancelled_.load(); }

 private:
  void OnInitDialog() override;
  void OnCommand(int control_id) override;
  bool Shown() const { return shown_.load(); }

  platform::ProgressHost* host_;
  platform::ProgressDialogLayout layout_;
  int status_id_;
  int animation_resource_;
  std::atomic<bool> cancelled_{false};
  std::atomic<bool> shown_{false};
  int upper_ = 0;
  int step_ = 1;
  int position_ = 0;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool ready_ = false;
};

}  // namespace tessary::setup
