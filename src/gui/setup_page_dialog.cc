#include "gui/setup_page_dialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tessary::gui {

SetupPageDialog::SetupPageDialog(QWidget* parent, int template_id, const QString& caption,
                                 const QString& heading, const QString& cancel_text)
    : QDialog(parent) {
  setObjectName(QString::number(template_id));
  setWindowTitle(caption);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  const int line = fontMetrics().height();
  auto* outer = new QHBoxLayout(this);
  outer->setSpacing(line);
  auto* icon = new QLabel;
  icon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(line * 3, line * 3));
  icon->setAlignment(Qt::AlignTop);
  outer->addWidget(icon, 0, Qt::AlignTop);

  auto* column = new QVBoxLayout;
  column->setSpacing(line / 2);
  auto* title = new QLabel(heading);
  title->setObjectName("heading");
  QFont bold = font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.25);
  title->setFont(bold);
  title->setWordWrap(true);
  column->addWidget(title);
  body_ = new QVBoxLayout;
  body_->setSpacing(line / 2);
  column->addLayout(body_, 1);
  outer->addLayout(column, 1);

  auto* buttons = new QVBoxLayout;
  ok_ = new QPushButton("OK");
  ok_->setObjectName("1");
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  buttons->addWidget(ok_);
  if (!cancel_text.isEmpty()) {
    auto* leave = new QPushButton(cancel_text);
    leave->setObjectName("2");
    connect(leave, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(leave);
  }
  buttons->addStretch(1);
  outer->addLayout(buttons);
  setMinimumWidth(fontMetrics().averageCharWidth() * 80);
}

QLabel* SetupPageDialog::AddParagraph(const QString& text, int id) {
  auto* label = new QLabel(text);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  if (id) label->setObjectName(QString::number(id));
  body_->addWidget(label);
  return label;
}

}  // namespace tessary::gui
