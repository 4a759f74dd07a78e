#pragma once
// The window of a progress dialog: animation, status line, the counters or file names of its
// template, the bar and Cancel. Every control's objectName is its template id. Closing the
// window or pressing Escape presses Cancel: only the work ends the dialog.

#include <QDialog>
#include <functional>
#include <string>

#include "platform/ui/progress_host.h"

class QProgressBar;

namespace tessary::gui {

class ProgressDialog : public QDialog {
 public:
  ProgressDialog(QWidget* parent, const platform::ProgressDialogLayout& layout,
                 const std::string& caption);

  // Called with the control id of every button pressed (Cancel).
  void SetCommandHandler(std::function<void(int)> handler) { on_command_ = std::move(handler); }

  void SetText(int control_id, const std::string& text);
  void ShowControl(int control_id, bool show);
  void EnableControl(int control_id, bool enable);
  void PlayAnimation(int control_id);
  void SetBarRange(int control_id, int upper, int step);
  void StepBar(int control_id);
  void SetBarPosition(int control_id, int position);
  int BarUpper(int control_id) const;

  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* Control(int control_id) const;
  QProgressBar* Bar(int control_id) const;
  void PressCancel();

  platform::ProgressDialogLayout layout_;
  std::function<void(int)> on_command_;
  int step_ = 1;
};

}  // namespace tessary::gui
