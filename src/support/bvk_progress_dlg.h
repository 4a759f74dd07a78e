#pragma once
// The progress dialog of a long task: the work function runs on a worker thread while the
// user-interface thread shows the dialog through a ProgressHost. The work function learns of a
// cancel request from StepProgress/FillProgress returning false; it is never stopped.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/ui/progress_host.h"
#include "support/bvk_error.h"

namespace tessary {

// Final: it is destroyed through its own type (Run takes it by std::unique_ptr), and its events
// base has no virtual destructor, so no class may derive from it.
class CBVKProgressDlg final : private platform::ProgressEvents {
 public:
  using WorkFunction = std::function<std::int32_t(CBVKProgressDlg&)>;
  // Named inputs and outputs of the work function ("TY Import", "Total Objects", ...); owned by
  // the caller, who knows what each key points to.
  using ParameterMap = std::map<std::string, void*>;

  static constexpr int kProgressBarId = 1057;
  static constexpr int kAnimationId = 1055;
  static constexpr int kCancelId = 1056;
  static constexpr int kStatusTextId = 1080;
  // Replaces the status line once Cancel was pressed.
  static constexpr const char* kCancelText = "Processing cancel message, please wait...";

  CBVKProgressDlg(platform::ProgressHost& host, const platform::Window* parent, int template_id,
                  int progress_id = kProgressBarId, int status_id = kStatusTextId,
                  int animation_id = kAnimationId, int cancel_id = kCancelId);
  ~CBVKProgressDlg();
  CBVKProgressDlg(const CBVKProgressDlg&) = delete;
  CBVKProgressDlg& operator=(const CBVKProgressDlg&) = delete;

  void SetAnimationResource(int resource_id) { animation_resource_ = resource_id; }
  void SetWorkFunction(WorkFunction work) { work_ = std::move(work); }
  void SetParameters(ParameterMap* parameters) { parameters_ = parameters; }
  void SetShowProgressBar(bool show) { show_progress_bar_ = show; }

  // The parameter under key as a T, or nullptr when the map or the key is missing.
  template <class T>
  T* Parameter(const std::string& key) const {
    if (!parameters_) return nullptr;
    auto found = parameters_->find(key);
    return found == parameters_->end() ? nullptr : static_cast<T*>(found->second);
  }

  // Runs the work function on a worker thread while the dialog is shown on this thread, and
  // returns the work function's result (1 without one). Destroys the dialog before returning.
  static std::int32_t Run(std::unique_ptr<CBVKProgressDlg> dialog);

  // Calls for the work function, from any thread; each does nothing once the window is gone.
  // Unless cancelled, sets the status line / any control's text.
  void SetStatusText(const std::string& text);
  void SetItemText(int control_id, const std::string& text);
  // The bar's range becomes 0..upper with the given step size.
  void SetRange(int upper, int step);
  // False once the user has cancelled; otherwise advances the bar count steps (filling it
  // instead when that would reach its end) and returns true.
  bool StepProgress(int count = 1);
  // False once cancelled; otherwise sets the bar (0 = the dialog's own) to one below its upper
  // bound and returns true.
  bool FillProgress(int control_id = 0);
  bool IsCancelled() const { return cancelled_.load(); }

  CBVKError& Error() { return error_; }

 private:
  void OnInitDialog() override;
  void OnCommand(int control_id) override;
  void Work();
  void SignalReady();
  bool WindowShown() const { return window_shown_.load(); }

  platform::ProgressHost& host_;
  platform::ProgressDialogLayout layout_;
  WorkFunction work_;
  ParameterMap* parameters_ = nullptr;
  int animation_resource_ = 0;
  bool show_progress_bar_ = true;
  std::atomic<bool> cancelled_{false};
  std::atomic<bool> window_shown_{false};
  // The bar as this dialog set it; touched only by the work function's thread.
  int bar_upper_ = 0;
  int bar_step_ = 1;
  int bar_position_ = 0;
  // The ready event: set once the window is initialised, and again when the modal loop ends.
  std::mutex ready_mutex_;
  std::condition_variable ready_changed_;
  bool ready_ = false;
  std::int32_t result_ = 1;
  CBVKError error_;
};

}  // namespace tessary
