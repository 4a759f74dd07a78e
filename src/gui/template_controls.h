#pragma once
// The widget of each control kind of a template, and how a control's state is shown on it.
// Every widget's objectName is its control id; ids of -1 are shared by the template's unnamed
// statics.

#include <QIcon>
#include <QWidget>

class QTreeWidgetItem;

#include "platform/ui/dialog_host.h"

namespace tessary::gui {

// The widget for a control, placed by the caller; nullptr for a kind this host does not know.
QWidget* CreateControl(const platform::ControlTemplate& control, QWidget* parent);

// Shows state on the control's widget: text, check, enabled, visible, read-only, rows, items and
// the selection. Emits no signal of the widget's own.
void RenderControl(QWidget& widget, const platform::ControlTemplate& control,
                   const platform::ControlState& state);

// The icon for a tree item's bitmap resource id.
QIcon TreeItemIcon(int image);

// The handle of a tree view's item (stored on the item when it is rendered).
int ItemHandle(const QTreeWidgetItem& item);

}  // namespace tessary::gui
