#include "gui/template_window.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>

#include "gui/template_controls.h"

namespace tessary::gui {
namespace {

using platform::ControlKind;

bool TakesFocus(ControlKind kind) {
  switch (kind) {
    case ControlKind::kStatic:
    case ControlKind::kGroupBox:
    case ControlKind::kProgressBar:
    case ControlKind::kAnimation:
    case ControlKind::kEtchedLine:
      return false;
    default:
      return true;
  }
}

std::vector<int> SelectedRows(QTreeWidget& list) {
  std::vector<int> rows;
  for (int row = 0; row < list.topLevelItemCount(); ++row) {
    if (list.topLevelItem(row)->isSelected()) rows.push_back(row);
  }
  return rows;
}

}  // namespace

TemplateWindow::TemplateWindow(platform::DialogModel& model, QWidget* parent, Kind kind)
    : QDialog(parent), model_(model), kind_(kind), units_(font()) {
  if (kind == Kind::kChild) setWindowFlags(Qt::Widget);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  const platform::DialogTemplate& dialog = model.Template();
  setObjectName(QString::number(dialog.id));
  setWindowTitle(QString::fromStdString(model.Title()));
  setFixedSize(units_.Size(dialog.width, dialog.height));
  Build();
}

TemplateWindow::~TemplateWindow() {
  // The model lets go of this window (and a frame of its page windows) while they still exist.
  model_.OnDestroyWindow();
}

void TemplateWindow::Build() {
  QButtonGroup* radios = nullptr;
  for (const platform::ControlTemplate& control : model_.Template().controls) {
    QWidget* widget = CreateControl(control, this);
    widgets_.push_back(widget);
    if (!widget) continue;
    widget->setGeometry(units_.Rect(control.x, control.y, control.width, control.height));
    // A drop-down list's template height is that of its open list; closed it is one line high.
    if (control.kind == ControlKind::kDropDownList) {
      widget->resize(widget->width(), widget->sizeHint().height());
    }
    if (control.kind == ControlKind::kGroupBox) widget->lower();
    // Consecutive option buttons are one group: choosing one clears the others.
    if (control.kind == ControlKind::kRadioButton) {
      if (!radios) radios = new QButtonGroup(this);
      radios->addButton(static_cast<QAbstractButton*>(widget));
    } else {
      radios = nullptr;
    }
    if (!controls_.count(control.id)) controls_[control.id] = widget;
    Connect(*widget, control);
  }
  SetMnemonicBuddies();
  SetTabOrder();
  const auto& controls = model_.Template().controls;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (!widgets_[i]) continue;
    const platform::ControlState* state =
        controls[i].id == -1 ? nullptr : model_.State(controls[i].id);
    if (state) {
      RenderControl(*widgets_[i], controls[i], *state);
    } else {
      platform::ControlState fixed;
      fixed.text = controls[i].text;
      fixed.style = controls[i].style;
      RenderControl(*widgets_[i], controls[i], fixed);
    }
  }
}

void TemplateWindow::Connect(QWidget& widget, const platform::ControlTemplate& control) {
  const int id = control.id;
  switch (control.kind) {
    case ControlKind::kPushButton:
      connect(static_cast<QAbstractButton*>(&widget), &QAbstractButton::clicked, this,
              [this, id] { Pressed(id); });
      break;
    case ControlKind::kCheckBox:
    case ControlKind::kRadioButton:
      connect(static_cast<QAbstractButton*>(&widget), &QAbstractButton::clicked, this,
              [this, id](bool checked) { model_.OnCheck(id, checked); });
      break;
    case ControlKind::kEdit:
      connect(static_cast<QLineEdit*>(&widget), &QLineEdit::textEdited, this,
              [this, id](const QString& text) { model_.OnEditChanged(id, text.toStdString()); });
      break;
    case ControlKind::kListView: {
      auto* list = static_cast<QTreeWidget*>(&widget);
      connect(list, &QTreeWidget::itemSelectionChanged, this,
              [this, id, list] { model_.OnSelect(id, SelectedRows(*list)); });
      connect(list, &QTreeWidget::itemChanged, this, [this, id, list](QTreeWidgetItem* item) {
        model_.OnRowCheck(id, list->indexOfTopLevelItem(item),
                          item->checkState(0) == Qt::Checked);
      });
      connect(list->header(), &QHeaderView::sectionClicked, this,
              [this, id](int column) { model_.OnColumnClick(id, column); });
      break;
    }
    case ControlKind::kTreeView: {
      auto* tree = static_cast<QTreeWidget*>(&widget);
      connect(tree, &QTreeWidget::itemExpanded, this, [this, id](QTreeWidgetItem* item) {
        // Children load as the item opens; a re-render keeps it open.
        if (item->childCount() == 0) model_.OnTreeExpanding(id, ItemHandle(*item));
      });
      connect(tree, &QTreeWidget::currentItemChanged, this,
              [this, id](QTreeWidgetItem* item) {
                model_.OnSelect(id, item ? std::vector<int>{ItemHandle(*item)}
                                         : std::vector<int>{});
              });
      break;
    }
    case ControlKind::kListBox:
      connect(static_cast<QListWidget*>(&widget), &QListWidget::currentRowChanged, this,
              [this, id](int row) {
                model_.OnSelect(id, row < 0 ? std::vector<int>{} : std::vector<int>{row});
              });
      break;
    case ControlKind::kDropDownList:
      connect(static_cast<QComboBox*>(&widget), &QComboBox::activated, this,
              [this, id](int row) { model_.OnSelect(id, {row}); });
      break;
    default:
      break;
  }
}

void TemplateWindow::SetMnemonicBuddies() {
  // A static's "&" letter moves to the control that follows it in the template.
  const auto& controls = model_.Template().controls;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].kind != ControlKind::kStatic || controls[i].text.find('&') == std::string::npos)
      continue;
    auto* label = qobject_cast<QLabel*>(widgets_[i]);
    if (!label) continue;
    for (std::size_t next = i + 1; next < controls.size(); ++next) {
      if (widgets_[next] && TakesFocus(controls[next].kind)) {
        label->setBuddy(widgets_[next]);
        break;
      }
    }
  }
}

void TemplateWindow::SetTabOrder() {
  QWidget* previous = nullptr;
  const auto& controls = model_.Template().controls;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (!widgets_[i] || !TakesFocus(controls[i].kind)) continue;
    if (previous) setTabOrder(previous, widgets_[i]);
    previous = widgets_[i];
  }
}

QWidget* TemplateWindow::Control(int control_id) const {
  auto found = controls_.find(control_id);
  return found == controls_.end() ? nullptr : found->second;
}

void TemplateWindow::Pressed(int control_id) {
  // While the model handles the press this window shows the busy cursor.
  setCursor(Qt::WaitCursor);
  model_.OnButton(control_id);
  unsetCursor();
}

void TemplateWindow::ControlChanged(int control_id) {
  QWidget* widget = Control(control_id);
  const platform::ControlTemplate* control = model_.Template().Find(control_id);
  const platform::ControlState* state = model_.State(control_id);
  if (widget && control && state) RenderControl(*widget, *control, *state);
}

void TemplateWindow::TitleChanged() { setWindowTitle(QString::fromStdString(model_.Title())); }

void TemplateWindow::EndModal(int result) { done(result); }

void TemplateWindow::SetBusy(bool busy) {
  busy_ = busy;
  if (busy) {
    setCursor(Qt::WaitCursor);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
  } else {
    unsetCursor();
    for (QWidget* child : findChildren<QWidget*>()) child->removeEventFilter(this);
  }
}

bool TemplateWindow::eventFilter(QObject* watched, QEvent* event) {
  if (busy_) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
        return true;
      default:
        break;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TemplateWindow::Place(int x, int y, int width, int height) {
  setFixedSize(units_.Size(width, height));
  move(units_.X(x), units_.Y(y));
}

std::unique_ptr<platform::DialogWindow> TemplateWindow::CreateChild(platform::DialogModel& page,
                                                                    int x, int y) {
  auto child = std::make_unique<TemplateWindow>(page, this, Kind::kChild);
  child->move(units_.X(x), units_.Y(y));
  child->show();
  child->raise();
  page.OnInitDialog(*child);
  return child;
}

void TemplateWindow::reject() {
  // Escape and the close box are the Cancel button; the model decides whether the window ends.
  if (kind_ == Kind::kTopLevel) Pressed(2);
}

void TemplateWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  reject();
}

}  // namespace tessary::gui
