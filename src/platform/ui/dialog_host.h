#pragma once
// How a host shows a dialog model and how the two talk. The model (support/bvk_dialog.h) owns the
// state of every control; the host renders that state, tells the model what the person did
// (DialogModel's On... calls), and re-renders a control when the model says it changed
// (DialogWindow::ControlChanged). Everything happens on the user-interface thread.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/dialog_template.h"

namespace tessary::platform {

struct ListColumn {
  std::string text;
  int width = 0;  // pixels
};

struct ListRow {
  std::vector<std::string> texts;  // one per column; list boxes use texts[0]
  bool checked = false;            // list views with kStyleCheckBoxes
  bool selected = false;           // list views
  std::intptr_t data = 0;          // the model's own, never shown
};

struct TreeItem {
  int handle = 0;  // unique in its tree, never 0
  int parent = 0;  // 0: a top item
  std::string text;
  int image = 0;  // bitmap resource id; 0: none
  bool expanded = false;
  // Shows an expander before any child is loaded (children come when it is expanded).
  bool may_have_children = true;
  void* data = nullptr;  // the model's own, never shown
};

// What a host needs to render one control. Controls that show text use text; check boxes and
// radio buttons checked; list boxes and drop-down lists rows (texts[0]) and selection (the row,
// -1 for none); list views columns, rows and their selected flags; tree views items (a parent
// always before its children, siblings in order) and selection (the selected item's handle, 0
// for none).
struct ControlState {
  std::string text;
  bool checked = false;
  bool enabled = true;
  bool visible = true;
  std::uint32_t style = kStyleNone;  // starts as the template's; a model may change it
  std::vector<ListColumn> columns;
  std::vector<ListRow> rows;
  std::vector<TreeItem> items;
  int selection = -1;
};

class DialogModel;

// A dialog window as the host shows it; the model holds one while the window exists.
class DialogWindow {
 public:
  virtual ~DialogWindow() = default;
  // The model changed the state of a control (or the title): render it again.
  virtual void ControlChanged(int control_id) = 0;
  virtual void TitleChanged() = 0;
  // Ends the modal loop of this window with result (for a window shown by RunModalDialog).
  virtual void EndModal(int result) = 0;
  // While busy the window takes no input and shows the busy cursor.
  virtual void SetBusy(bool busy) = 0;
  // Moves and resizes the window inside its parent, in dialog units.
  virtual void Place(int x, int y, int width, int height) = 0;
  // Shows page as a modeless child window at (x, y) on top of this window's other children. The
  // page's OnInitDialog runs before this returns; destroying the result removes the window.
  // Null when no window could be made.
  virtual std::unique_ptr<DialogWindow> CreateChild(DialogModel& page, int x, int y) = 0;
};

// The dialog as its host sees it: what to render, and where to report what the person did.
class DialogModel {
 public:
  virtual const DialogTemplate& Template() const = 0;
  virtual std::string Title() const = 0;
  // The state of a control of the template; nullptr for an unknown id.
  virtual const ControlState* State(int control_id) const = 0;

  // The window exists; the model may now set controls through it.
  virtual void OnInitDialog(DialogWindow& window) = 0;
  // The window is gone; the model must not use it any more.
  virtual void OnDestroyWindow() = 0;
  // A push button was pressed (2 also when the window's close box was used).
  virtual void OnButton(int control_id) = 0;
  // A check box or radio button was clicked into this checked state.
  virtual void OnCheck(int control_id, bool checked) = 0;
  // The text of an edit box changed.
  virtual void OnEditChanged(int control_id, const std::string& text) = 0;
  // The selection changed: the rows of a list view, the one row of a list box or drop-down list,
  // the one item handle of a tree view; empty when nothing is selected.
  virtual void OnSelect(int control_id, const std::vector<int>& selection) = 0;
  // The check box of a list view's row was clicked.
  virtual void OnRowCheck(int control_id, int row, bool checked) = 0;
  // A list view's column header was clicked.
  virtual void OnColumnClick(int control_id, int column) = 0;
  // A tree item is about to be expanded: its children are to be loaded now.
  virtual void OnTreeExpanding(int control_id, int item) = 0;

 protected:
  ~DialogModel() = default;
};

}  // namespace tessary::platform
