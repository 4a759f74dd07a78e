#include "gui/progress_dialog.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/animation_widget.h"

namespace tessary::gui {
namespace {

QString Id(int id) { return QString::number(id); }

// The templates' own texts and extra controls.
constexpr int kExportTemplate = 165;
constexpr int kImportTemplate = 201;
constexpr int kShortTemplate = 210;
constexpr int kCopyTemplate = 297;
constexpr int kRemoveTemplate = 298;
constexpr int kContainerCount = 1068;
constexpr int kTotalCount = 1070;
constexpr int kFromText = 1023;
constexpr int kToText = 1024;

QString StaticTextOf(int template_id) {
  switch (template_id) {
    case kImportTemplate:
      return "Working.... please wait...";
    case kRemoveTemplate:
      return "Working...";
    default:
      return "Working... please wait...";
  }
}

QLabel* NewLabel(const QString& text, int id) {
  auto* label = new QLabel(text);
  label->setObjectName(Id(id));
  label->setTextFormat(Qt::PlainText);
  return label;
}

// A label that shows long paths elided in the middle instead of widening the window.
QLabel* NewPathLabel(int id) {
  QLabel* label = NewLabel(QString(), id);
  label->setMinimumWidth(1);
  label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  return label;
}

}  // namespace

ProgressDialog::ProgressDialog(QWidget* parent, const platform::ProgressDialogLayout& layout,
                               const std::string& caption)
    : QDialog(parent), layout_(layout) {
  setObjectName(Id(layout.template_id));
  setWindowTitle(QString::fromStdString(caption));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  const int em = fontMetrics().averageCharWidth();
  auto* column = new QVBoxLayout(this);
  column->setSpacing(fontMetrics().height() / 2);

  auto* animation = new AnimationWidget;
  animation->setObjectName(Id(layout.animation_id));
  column->addWidget(animation);

  if (layout.template_id == kCopyTemplate) {
    column->addWidget(new QLabel("Copying:"));
    auto* files = new QGridLayout;
    files->addWidget(new QLabel("From:"), 0, 0);
    files->addWidget(NewPathLabel(kFromText), 0, 1);
    files->addWidget(new QLabel("To:"), 1, 0);
    files->addWidget(NewPathLabel(kToText), 1, 1);
    files->setColumnStretch(1, 1);
    column->addLayout(files);
  }
  if (layout.status_id != 0) {
    const int status_id = layout.status_id;
    QLabel* status = NewPathLabel(status_id);
    status->setText(StaticTextOf(layout.template_id));
    status->setWordWrap(true);
    status->setMinimumHeight(fontMetrics().height() * 2);
    status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    column->addWidget(status);
  }
  if (layout.template_id == kExportTemplate) {
    auto* counts = new QGridLayout;
    counts->addWidget(new QLabel("Total found: "), 0, 0);
    counts->addWidget(NewLabel("0", kTotalCount), 0, 1);
    counts->addWidget(new QLabel("Found in this container:"), 1, 0);
    counts->addWidget(NewLabel("0", kContainerCount), 1, 1);
    counts->setColumnStretch(1, 1);
    column->addLayout(counts);
  }
  auto* bar = new QProgressBar;
  bar->setObjectName(Id(layout.progress_id));
  bar->setRange(0, 100);
  bar->setValue(0);
  bar->setTextVisible(false);
  column->addWidget(bar);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  auto* cancel = new QPushButton("Cancel");
  cancel->setObjectName(Id(layout.cancel_id));
  cancel->setAutoDefault(false);
  connect(cancel, &QPushButton::clicked, this, [this] {
    if (on_command_) on_command_(layout_.cancel_id);
  });
  buttons->addWidget(cancel);
  column->addLayout(buttons);
  const int width = layout.template_id == kShortTemplate ? 48 : 64;
  setMinimumWidth(em * width);
}

QWidget* ProgressDialog::Control(int control_id) const {
  return findChild<QWidget*>(Id(control_id));
}

QProgressBar* ProgressDialog::Bar(int control_id) const {
  return findChild<QProgressBar*>(Id(control_id));
}

void ProgressDialog::SetText(int control_id, const std::string& text) {
  QWidget* control = Control(control_id);
  const QString value = QString::fromStdString(text);
  if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(value);
    label->setToolTip(value);
  } else if (auto* button = qobject_cast<QPushButton*>(control)) {
    button->setText(value);
  }
}

void ProgressDialog::ShowControl(int control_id, bool show) {
  if (QWidget* control = Control(control_id)) control->setVisible(show);
}

void ProgressDialog::EnableControl(int control_id, bool enable) {
  if (QWidget* control = Control(control_id)) control->setEnabled(enable);
}

void ProgressDialog::PlayAnimation(int control_id) {
  if (auto* animation = findChild<AnimationWidget*>(Id(control_id))) animation->Play();
}

void ProgressDialog::SetBarRange(int control_id, int upper, int step) {
  if (QProgressBar* bar = Bar(control_id)) {
    bar->setRange(0, upper);
    bar->setValue(0);
    step_ = step;
  }
}

void ProgressDialog::StepBar(int control_id) {
  if (QProgressBar* bar = Bar(control_id)) {
    const int next = bar->value() + step_;
    // A bar stepped past its end starts again, as the common control does.
    bar->setValue(next > bar->maximum() ? 0 : next);
  }
}

void ProgressDialog::SetBarPosition(int control_id, int position) {
  if (QProgressBar* bar = Bar(control_id)) bar->setValue(position);
}

int ProgressDialog::BarUpper(int control_id) const {
  const QProgressBar* bar = Bar(control_id);
  return bar ? bar->maximum() : 0;
}

void ProgressDialog::PressCancel() {
  QWidget* cancel = Control(layout_.cancel_id);
  if (cancel && cancel->isEnabled() && on_command_) on_command_(layout_.cancel_id);
}

void ProgressDialog::reject() { PressCancel(); }

void ProgressDialog::closeEvent(QCloseEvent* event) {
  event->ignore();
  PressCancel();
}

}  // namespace tessary::gui
