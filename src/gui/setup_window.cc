#include "gui/setup_window.h"

#include <QCloseEvent>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

#include "setup/background.h"

namespace tessary::gui {

SetupWindow::SetupWindow() {
  setObjectName(QString::number(setup::page_id::kMainWindow));
  setWindowTitle("Brenvik Setup");
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(fontMetrics().height() * 2, fontMetrics().height() * 2,
                             fontMetrics().height() * 2, fontMetrics().height() * 2);
  title_ = new QLabel;
  title_->setObjectName("1127");
  QFont title_font = font();
  title_font.setPointSizeF(title_font.pointSizeF() * 2.6);
  title_font.setBold(true);
  title_font.setItalic(true);
  title_->setFont(title_font);
  title_->setStyleSheet("color: white;");
  auto* shadow = new QGraphicsDropShadowEffect(title_);
  shadow->setOffset(3, 3);
  shadow->setBlurRadius(0);
  shadow->setColor(Qt::black);
  title_->setGraphicsEffect(shadow);
  column->addWidget(title_);
  picture_ = new QLabel;
  picture_->setObjectName(QString::number(setup::page_id::kProductPicture));
  picture_->hide();
  column->addWidget(picture_);
  column->addStretch(1);
}

void SetupWindow::SetLook(const setup::MainWindowLook& look) {
  scheme_ = look.colour_scheme;
  if (look.window) setWindowTitle(QString::fromStdString(look.window->title));
  title_->setText(QString::fromStdString(look.product_name.empty() ? "Brenvik Update"
                                                                    : look.product_name));
  QPixmap picture;
  if (look.product_picture &&
      picture.loadFromData(reinterpret_cast<const uchar*>(look.product_picture->data()),
                           static_cast<uint>(look.product_picture->size()))) {
    picture_->setPixmap(picture);
    picture_->show();
  } else {
    picture_->hide();
  }
  update();
}

void SetupWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int steps = setup::GradientSteps(false);
  const double band = static_cast<double>(height()) / steps;
  for (int i = 0; i < steps; ++i) {
    const setup::BandColour colour = setup::GradientBand(scheme_, i, steps);
    const int top = static_cast<int>(i * band);
    const int bottom = static_cast<int>((i + 1) * band);
    painter.fillRect(0, top, width(), std::max(1, bottom - top),
                     QColor(colour.red, colour.green, colour.blue));
  }
}

void SetupWindow::closeEvent(QCloseEvent* event) {
  if (closable_) {
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace tessary::gui
