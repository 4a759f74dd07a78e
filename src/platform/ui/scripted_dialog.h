#pragma once
// The scripted host's dialogs: a window that renders nothing and a driver through which a test
// acts as the person in front of a modal dialog. A driver presses, clicks, types and selects as
// a person can (only enabled, visible controls; only rows and items that exist), and reads what
// the dialog shows. Whatever a person could not do is refused and noted in Problems().

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/dialog_host.h"

namespace tessary::platform {

class ScriptedDialogWindow;

class DialogDriver {
 public:
  DialogDriver(ScriptedDialogWindow& window, std::vector<std::string>& problems)
      : window_(window), problems_(problems) {}

  // Each acts on the control of the newest child page that has the id, else of the dialog, and
  // returns false (noting a problem) when a person could not have done it.
  bool Press(int control_id);
  bool Click(int control_id);  // a check box toggles; a radio button becomes checked
  bool Type(int control_id, const std::string& text);
  // A list box or drop-down list row by index, or by its text.
  bool Select(int control_id, int row);
  bool SelectText(int control_id, const std::string& text);
  // List view rows (replacing the selection) and row check boxes.
  bool SelectRows(int control_id, const std::vector<int>& rows);
  bool CheckRow(int control_id, int row, bool checked);
  bool ClickColumn(int control_id, int column);
  // Tree items by handle, or by the texts on the way down from a top item.
  bool Expand(int control_id, int item);
  bool SelectItem(int control_id, int item);
  int FindItem(int control_id, const std::vector<std::string>& path) const;

  // What is shown. State is nullptr for an id no window shows.
  const ControlState* State(int control_id) const;
  std::string Text(int control_id) const;
  bool Enabled(int control_id) const;
  bool Checked(int control_id) const;
  // Column 0 of every row (list views, list boxes, drop-down lists).
  std::vector<std::string> Lines(int control_id) const;
  // The template id of the newest child page, or of the dialog when it has none.
  int PageTemplate() const;
  bool Ended() const;
  int Result() const;

 private:
  DialogModel* Target(int control_id, const ControlState** state) const;
  bool Usable(int control_id, ControlKind kind, DialogModel** model, const ControlState** state);
  bool Refuse(const std::string& what);

  ScriptedDialogWindow& window_;
  std::vector<std::string>& problems_;
};

// The window of one dialog or child page. Child pages are kept newest last.
class ScriptedDialogWindow : public DialogWindow {
 public:
  ScriptedDialogWindow(DialogModel& model, ScriptedDialogWindow* parent);
  ~ScriptedDialogWindow() override;

  DialogModel& Model() { return model_; }
  ScriptedDialogWindow* NewestChild() const;
  bool Ended() const { return ended_; }
  int Result() const { return result_; }
  bool Busy() const { return busy_; }

  void ControlChanged(int) override {}
  void TitleChanged() override {}
  void EndModal(int result) override;
  void SetBusy(bool busy) override { busy_ = busy; }
  void Place(int, int, int, int) override {}
  std::unique_ptr<DialogWindow> CreateChild(DialogModel& page, int x, int y) override;

 private:
  DialogModel& model_;
  ScriptedDialogWindow* parent_;
  std::vector<ScriptedDialogWindow*> children_;
  bool ended_ = false;
  int result_ = 0;
  bool busy_ = false;
};

// A test's part in one modal dialog.
using DialogScript = std::function<void(DialogDriver&)>;

}  // namespace tessary::platform
