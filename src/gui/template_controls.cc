#include "gui/template_controls.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTreeWidget>
#include <map>
#include <set>

#include "gui/animation_widget.h"
#include "gui/wrapping_button.h"

namespace tessary::gui {
namespace {

using platform::ControlKind;
using platform::ControlState;
using platform::ControlTemplate;

constexpr int kHandleRole = Qt::UserRole + 1;

QString Text(const std::string& text) { return QString::fromStdString(text); }

QString WithoutMnemonics(const QString& text) {
  QString plain;
  for (int i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    plain += text[i];
  }
  return plain;
}

QLabel* NewStatic(const ControlTemplate& control) {
  auto* label = new QLabel;
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // Statics wrap at their width, as the dialog manager draws them.
  label->setWordWrap(true);
  if (control.style & platform::kStyleBold) {
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
  }
  if (control.background) {
    const platform::Colour colour = *control.background;
    QPalette palette = label->palette();
    const QColor back(colour.red, colour.green, colour.blue);
    palette.setColor(QPalette::Window, back);
    // Text on a dark area is white, on a light one black.
    palette.setColor(QPalette::WindowText, back.lightness() < 128 ? Qt::white : Qt::black);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
  }
  return label;
}

// The program's icon, as large as the static allows, in its middle.
void ShowProgramIcon(QLabel& label) {
  const int side = std::min(label.width(), label.height());
  label.setAlignment(Qt::AlignCenter);
  label.setPixmap(QIcon(":/tessary.svg").pixmap(QSize(side, side), label.devicePixelRatio()));
}

QTreeWidget* NewListView(const ControlTemplate& control) {
  auto* list = new QTreeWidget;
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setAllColumnsShowFocus(true);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setSelectionMode((control.style & platform::kStyleSingleSelect)
                             ? QAbstractItemView::SingleSelection
                             : QAbstractItemView::ExtendedSelection);
  list->setHeaderHidden(control.style & platform::kStyleNoHeader);
  list->header()->setSectionsClickable(true);
  list->header()->setStretchLastSection(true);
  return list;
}

QTreeWidget* NewTreeView() {
  auto* tree = new QTreeWidget;
  tree->setHeaderHidden(true);
  tree->setColumnCount(1);
  tree->setSelectionMode(QAbstractItemView::SingleSelection);
  return tree;
}

// Texts, check box and selection of one row's item.
void RenderRow(QTreeWidgetItem& item, const platform::ListRow& row, int columns, bool checks) {
  for (int i = 0; i < columns; ++i) {
    const QString text = i < static_cast<int>(row.texts.size()) ? Text(row.texts[i]) : QString();
    if (item.text(i) != text) item.setText(i, text);
  }
  // Only what differs is set: each change repaints, and a list may hold every attribute.
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (checks) {
    flags |= Qt::ItemIsUserCheckable;
    const Qt::CheckState check = row.checked ? Qt::Checked : Qt::Unchecked;
    if (item.data(0, Qt::CheckStateRole).isNull() || item.checkState(0) != check) {
      item.setCheckState(0, check);
    }
  }
  if (item.flags() != flags) item.setFlags(flags);
  if (item.isSelected() != row.selected) item.setSelected(row.selected);
}

bool SameRows(const QTreeWidget& list, const ControlState& state) {
  if (list.topLevelItemCount() != static_cast<int>(state.rows.size())) return false;
  for (int row = 0; row < list.topLevelItemCount(); ++row) {
    const platform::ListRow& wanted = state.rows[row];
    if (list.topLevelItem(row)->text(0) != (wanted.texts.empty() ? QString() : Text(wanted.texts[0])))
      return false;
  }
  return true;
}

void RenderListView(QTreeWidget& list, const ControlState& state) {
  const bool checks = state.style & platform::kStyleCheckBoxes;
  const int columns = std::max<int>(1, static_cast<int>(state.columns.size()));
  list.setColumnCount(columns);
  QStringList headers;
  for (const platform::ListColumn& column : state.columns) headers << Text(column.text);
  list.setHeaderLabels(headers);
  list.setHeaderHidden(state.style & platform::kStyleNoHeader || state.columns.empty());
  for (int i = 0; i < static_cast<int>(state.columns.size()); ++i) {
    if (state.columns[i].width > 0) list.setColumnWidth(i, state.columns[i].width);
  }
  // The same rows are updated in place: the model sends the list again from inside a click on
  // a row's check box, whose item must outlive it, and the list keeps where it was scrolled to.
  if (!SameRows(list, state)) {
    list.clear();
    QList<QTreeWidgetItem*> items;
    for (std::size_t row = 0; row < state.rows.size(); ++row) items << new QTreeWidgetItem;
    list.addTopLevelItems(items);
  }
  for (int row = 0; row < static_cast<int>(state.rows.size()); ++row) {
    RenderRow(*list.topLevelItem(row), state.rows[row], columns, checks);
  }
}

void RenderTreeView(QTreeWidget& tree, const ControlState& state) {
  // Items are updated in place, never rebuilt: the model sends the tree again from inside the
  // expansion of one of its items, which must outlive that.
  std::map<int, QTreeWidgetItem*> by_handle;
  for (QTreeWidgetItemIterator it(&tree); *it; ++it) by_handle[ItemHandle(**it)] = *it;
  std::set<int> wanted;
  for (const platform::TreeItem& entry : state.items) wanted.insert(entry.handle);
  // Only the topmost item of a removed branch is deleted; its children go with it.
  std::vector<QTreeWidgetItem*> removed;
  for (auto& [handle, item] : by_handle) {
    if (wanted.count(handle)) continue;
    QTreeWidgetItem* parent = item->parent();
    if (!parent || wanted.count(ItemHandle(*parent))) removed.push_back(item);
  }
  for (QTreeWidgetItem* item : removed) delete item;
  by_handle.clear();
  for (QTreeWidgetItemIterator it(&tree); *it; ++it) by_handle[ItemHandle(**it)] = *it;
  for (const platform::TreeItem& entry : state.items) {
    QTreeWidgetItem*& item = by_handle[entry.handle];
    if (!item) {
      item = new QTreeWidgetItem;
      item->setData(0, kHandleRole, entry.handle);
      auto parent = by_handle.find(entry.parent);
      if (entry.parent != 0 && parent != by_handle.end() && parent->second) {
        parent->second->addChild(item);
      } else {
        tree.addTopLevelItem(item);
      }
    }
    item->setText(0, Text(entry.text));
    item->setIcon(0, entry.image ? TreeItemIcon(entry.image) : QIcon());
    item->setChildIndicatorPolicy(entry.may_have_children
                                      ? QTreeWidgetItem::ShowIndicator
                                      : QTreeWidgetItem::DontShowIndicatorWhenChildless);
    if (entry.expanded) item->setExpanded(true);
  }
  auto selected = by_handle.find(state.selection);
  if (selected != by_handle.end() && selected->second) {
    tree.setCurrentItem(selected->second);
    tree.scrollToItem(selected->second);
  }
}

void RenderRows(QListWidget& list, const ControlState& state) {
  list.clear();
  for (const platform::ListRow& row : state.rows) {
    list.addItem(row.texts.empty() ? QString() : Text(row.texts[0]));
  }
  list.setCurrentRow(state.selection);
}

void RenderRows(QComboBox& box, const ControlState& state) {
  box.clear();
  for (const platform::ListRow& row : state.rows) {
    box.addItem(row.texts.empty() ? QString() : Text(row.texts[0]));
  }
  box.setCurrentIndex(state.selection);
}

// The model clears an option button itself when another bound to the same choice is chosen,
// which may stand in another button group (the template put a static between them); an
// exclusive group refuses to clear its checked button, so it lets go for that moment.
void SetChecked(QAbstractButton& button, bool checked) {
  QButtonGroup* group = button.group();
  if (checked || !group || !group->exclusive()) {
    button.setChecked(checked);
    return;
  }
  group->setExclusive(false);
  button.setChecked(false);
  group->setExclusive(true);
}

}  // namespace

int ItemHandle(const QTreeWidgetItem& item) { return item.data(0, kHandleRole).toInt(); }

QIcon TreeItemIcon(int image) {
  QStyle* style = QApplication::style();
  // The domain at the top of a container tree (bitmap 163) has a network drive's picture,
  // containers a folder's.
  return style->standardIcon(image == 163 ? QStyle::SP_DriveNetIcon : QStyle::SP_DirIcon);
}

QWidget* CreateControl(const ControlTemplate& control, QWidget* parent) {
  QWidget* widget = nullptr;
  const QString text = Text(control.text);
  switch (control.kind) {
    case ControlKind::kPushButton: {
      auto* button = new QPushButton(text);
      // Enter presses the template's default button, never whichever button has the focus.
      button->setAutoDefault(false);
      button->setDefault(control.style & platform::kStyleDefault);
      widget = button;
      break;
    }
    case ControlKind::kCheckBox:
      widget = (control.style & platform::kStyleMultiline) ? new WrappingCheckBox(text)
                                                           : new QCheckBox(text);
      break;
    case ControlKind::kRadioButton:
      widget = (control.style & platform::kStyleMultiline) ? new WrappingRadioButton(text)
                                                           : new QRadioButton(text);
      break;
    case ControlKind::kEdit: {
      auto* edit = new QLineEdit(text);
      edit->setReadOnly(control.style & platform::kStyleReadOnly);
      widget = edit;
      break;
    }
    case ControlKind::kStatic:
      widget = NewStatic(control);
      break;
    case ControlKind::kListView:
      widget = NewListView(control);
      break;
    case ControlKind::kTreeView:
      widget = NewTreeView();
      break;
    case ControlKind::kListBox:
      widget = new QListWidget;
      break;
    case ControlKind::kDropDownList:
      widget = new QComboBox;
      break;
    case ControlKind::kGroupBox:
      widget = new QGroupBox(text);
      break;
    case ControlKind::kProgressBar: {
      auto* bar = new QProgressBar;
      bar->setTextVisible(false);
      widget = bar;
      break;
    }
    case ControlKind::kAnimation:
      widget = new AnimationWidget;
      break;
    case ControlKind::kEtchedLine: {
      auto* line = new QFrame;
      line->setFrameShape(QFrame::HLine);
      line->setFrameShadow(QFrame::Sunken);
      widget = line;
      break;
    }
  }
  if (!widget) return nullptr;
  widget->setParent(parent);
  widget->setObjectName(QString::number(control.id));
  return widget;
}

void RenderControl(QWidget& widget, const ControlTemplate& control, const ControlState& state) {
  const QSignalBlocker quiet(&widget);
  const QString text = Text(state.text);
  switch (control.kind) {
    case ControlKind::kPushButton:
    case ControlKind::kCheckBox:
    case ControlKind::kRadioButton: {
      auto& button = static_cast<QAbstractButton&>(widget);
      button.setText(text);
      if (control.kind != ControlKind::kPushButton) SetChecked(button, state.checked);
      break;
    }
    case ControlKind::kEdit: {
      auto& edit = static_cast<QLineEdit&>(widget);
      if (edit.text() != text) edit.setText(text);
      edit.setReadOnly(state.style & platform::kStyleReadOnly);
      break;
    }
    case ControlKind::kStatic: {
      auto& label = static_cast<QLabel&>(widget);
      if (control.style & platform::kStyleIcon) {
        ShowProgramIcon(label);
        break;
      }
      // An "&" marks the mnemonic of the control that follows; a static that has none to
      // hand on to shows its text without the marks, as the dialog manager does.
      label.setText(label.buddy() ? text : WithoutMnemonics(text));
      break;
    }
    case ControlKind::kGroupBox:
      static_cast<QGroupBox&>(widget).setTitle(text);
      break;
    case ControlKind::kListView: {
      auto& list = static_cast<QTreeWidget&>(widget);
      const QSignalBlocker quiet_selection(list.selectionModel());
      RenderListView(list, state);
      break;
    }
    case ControlKind::kTreeView: {
      auto& tree = static_cast<QTreeWidget&>(widget);
      const QSignalBlocker quiet_selection(tree.selectionModel());
      RenderTreeView(tree, state);
      break;
    }
    case ControlKind::kListBox: {
      auto& list = static_cast<QListWidget&>(widget);
      const QSignalBlocker quiet_selection(list.selectionModel());
      RenderRows(list, state);
      break;
    }
    case ControlKind::kDropDownList:
      RenderRows(static_cast<QComboBox&>(widget), state);
      break;
    case ControlKind::kProgressBar:
    case ControlKind::kAnimation:
    case ControlKind::kEtchedLine:
      break;
  }
  widget.setEnabled(state.enabled);
  widget.setVisible(state.visible);
}

}  // namespace tessary::gui
