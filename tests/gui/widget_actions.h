#pragma once
// What a person does to the controls of a rendered template: clicks on list, tree and list
// view items (scrolled into view first, as a person scrolls), a click on a row's check box,
// typing over an edit's text. Controls are found by their objectName, the control id.

#include <QString>
#include <QStringList>
#include <QWidget>

namespace tessary::gui::testing {

// Records a test failure: the window has no control of that id.
void ReportMissing(QWidget& window, int control_id);

// The control of that id inside window; records a failure and returns nullptr when none.
template <class T>
T* FindControl(QWidget& window, int control_id) {
  T* control = window.findChild<T*>(QString::number(control_id));
  if (!control) ReportMissing(window, control_id);
  return control;
}

// Clicks the line of a list box whose text is text; false when it has none.
bool ClickListBoxLine(QWidget& window, int control_id, const QString& text);
// Opens each item of the path but the last in the tree view (click, then the Right key, which
// asks the model for the children) and clicks the last; false when an item is missing.
bool ClickTreePath(QWidget& window, int control_id, const QStringList& path);
// Clicks the check box of the list view row whose column holds text; false when none.
bool ClickRowCheckBox(QWidget& window, int control_id, int column, const QString& text);
// Clicks the check box or option button of that id.
void ClickOptionControl(QWidget& window, int control_id);
// Clicks into the edit, selects all its text and types text over it.
void TypeOver(QWidget& window, int control_id, const QString& text);

}  // namespace tessary::gui::testing
