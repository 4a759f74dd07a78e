#pragma once
// Renders the progress dialog of a long task (support/bvk_progress_dlg.h): the Qt host draws it,
// the terminal host prints a bar, the scripted host records it for tests. The dialog's model
// decides everything; the host only shows controls and reports the buttons pressed.

#include <string>

#include "platform/ui/ui_host.h"

namespace tessary::platform {

// Which template to show and the ids of its controls. A status id of -1 names the template's
// one static text with that id ("Working... please wait..."), which the status text replaces.
struct ProgressDialogLayout {
  const Window* parent = nullptr;
  int template_id = 0;
  int progress_id = 0;
  int status_id = 0;
  int animation_id = 0;
  int cancel_id = 0;
};

// What the host reports back to the dialog it shows; called on the thread that runs RunModal.
class ProgressEvents {
 public:
  // The window exists and its controls can be set.
  virtual void OnInitDialog() = 0;
  // A button of the dialog was pressed.
  virtual void OnCommand(int control_id) = 0;

 protected:
  ~ProgressEvents() = default;
};

class ProgressHost {
 public:
  virtual ~ProgressHost() = default;

  // Shows the dialog modally on the calling thread (the user-interface thread) until EndModal,
  // and returns EndModal's result; -1 when no window could be shown.
  virtual int RunModal(const ProgressDialogLayout& layout, ProgressEvents& events) = 0;

  // The operations below act on the dialog that RunModal shows. They may be called from any
  // thread; each is carried out on the user-interface thread and returns when it is done, as a
  // sent window message does. While no dialog is shown they do nothing.
  virtual void EndModal(int result) = 0;
  virtual void SetControlText(int control_id, const std::string& text) = 0;
  virtual void ShowControl(int control_id, bool show) = 0;
  virtual void EnableControl(int control_id, bool enable) = 0;
  virtual void PlayAnimation(int control_id, int resource_id) = 0;
  // Progress bars: range 0..upper, the step size, one step, a position.
  virtual void SetBarRange(int control_id, int upper, int step) = 0;
  virtual void StepBar(int control_id) = 0;
  virtual void SetBarPosition(int control_id, int position) = 0;
  // The upper bound of a bar's range (0 for an unknown control).
  virtual int BarUpper(int control_id) = 0;
};

}  // namespace tessary::platform
