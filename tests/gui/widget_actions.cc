#include "widget_actions.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTreeWidget>

#include "modal_driver.h"

namespace tessary::gui::testing {
namespace {

QTreeWidgetItem* ChildNamed(QTreeWidget& tree, QTreeWidgetItem* parent, const QString& text) {
  const int count = parent ? parent->childCount() : tree.topLevelItemCount();
  for (int i = 0; i < count; ++i) {
    QTreeWidgetItem* item = parent ? parent->child(i) : tree.topLevelItem(i);
    if (item->text(0) == text) return item;
  }
  return nullptr;
}

void ClickItem(QTreeWidget& view, QTreeWidgetItem& item) {
  view.scrollToItem(&item);
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualItemRect(&item).center());
}

}  // namespace

void ReportMissing(QWidget& window, int control_id) {
  ADD_FAILURE() << "no control " << control_id << " in window "
                << window.objectName().toStdString();
}

bool ClickListBoxLine(QWidget& window, int control_id, const QString& text) {
  auto* list = FindControl<QListWidget>(window, control_id);
  if (!list) return false;
  const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
  if (found.isEmpty()) return false;
  list->scrollToItem(found.front());
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualItemRect(found.front()).center());
  return true;
}

bool ClickTreePath(QWidget& window, int control_id, const QStringList& path) {
  auto* tree = FindControl<QTreeWidget>(window, control_id);
  if (!tree) return false;
  QTreeWidgetItem* item = nullptr;
  for (int i = 0; i < path.size(); ++i) {
    // The model sends the tree again as an item opens: look each item up afresh.
    item = ChildNamed(*tree, item, path[i]);
    if (!item) return false;
    ClickItem(*tree, *item);
    if (i + 1 < path.size() && !item->isExpanded()) {
      QTest::keyClick(tree, Qt::Key_Right);
      // Opening may ask the directory behind a progress window of its own.
      if (!WaitUntil([&] { return item->isExpanded(); }, 30)) return false;
    }
  }
  return true;
}

bool ClickRowCheckBox(QWidget& window, int control_id, int column, const QString& text) {
  auto* list = FindControl<QTreeWidget>(window, control_id);
  if (!list) return false;
  for (int row = 0; row < list->topLevelItemCount(); ++row) {
    QTreeWidgetItem* item = list->topLevelItem(row);
    if (item->text(column) != text) continue;
    list->scrollToItem(item);
    // Where the view's style draws the row's check box.
    QStyleOptionViewItem option;
    option.initFrom(list->viewport());
    option.rect = list->visualRect(list->model()->index(row, 0));
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    option.font = list->font();
    const QRect box =
        list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box.center());
    return true;
  }
  return false;
}

void ClickOptionControl(QWidget& window, int control_id) {
  if (auto* option = FindControl<QAbstractButton>(window, control_id)) ClickOption(*option);
}

void TypeOver(QWidget& window, int control_id, const QString& text) {
  auto* edit = FindControl<QLineEdit>(window, control_id);
  if (!edit) return;
  QTest::mouseClick(edit, Qt::LeftButton);
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(edit, text);
}

}  // namespace tessary::gui::testing
