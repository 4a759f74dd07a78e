#include "gui/animation_widget.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace tessary::gui {
namespace {

void DrawFolder(QPainter& painter, const QRectF& box) {
  const QColor body(0xE8, 0xB9, 0x3A);
  QPainterPath tab;
  tab.addRoundedRect(QRectF(box.left(), box.top(), box.width() * 0.45, box.height() * 0.3), 2, 2);
  painter.setPen(QPen(body.darker(140), 1));
  painter.setBrush(body.darker(110));
  painter.drawPath(tab);
  painter.setBrush(body);
  painter.drawRoundedRect(QRectF(box.left(), box.top() + box.height() * 0.18, box.width(),
                                 box.height() * 0.82),
                          3, 3);
}

}  // namespace

AnimationWidget::AnimationWidget(QWidget* parent) : QWidget(parent) {
  timer_.setInterval(40);
  connect(&timer_, &QTimer::timeout, this, [this] {
    frame_ = (frame_ + 1) % kFrames;
    update();
  });
}

void AnimationWidget::Play() { timer_.start(); }

void AnimationWidget::Stop() {
  timer_.stop();
  frame_ = 0;
  update();
}

QSize AnimationWidget::sizeHint() const {
  const int unit = fontMetrics().height();
  return {unit * 16, unit * 3};
}

void AnimationWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal h = height();
  const qreal folder_w = h * 1.1;
  const QRectF from(4, h * 0.35, folder_w, h * 0.6);
  const QRectF to(width() - folder_w - 4, h * 0.35, folder_w, h * 0.6);
  DrawFolder(painter, from);
  DrawFolder(painter, to);
  if (!Playing()) return;
  // The sheet rises out of one folder and drops into the other along an arc.
  const qreal t = static_cast<qreal>(frame_) / (kFrames - 1);
  const qreal x = from.center().x() + (to.center().x() - from.center().x()) * t;
  const qreal y = from.top() - std::sin(t * M_PI) * h * 0.3;
  const qreal sheet_w = h * 0.34;
  const qreal sheet_h = h * 0.44;
  painter.save();
  painter.translate(x, y);
  painter.rotate(-20 + 40 * t);
  painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
  painter.setBrush(Qt::white);
  painter.drawRect(QRectF(-sheet_w / 2, -sheet_h / 2, sheet_w, sheet_h));
  for (int line = 1; line <= 3; ++line) {
    const qreal ly = -sheet_h / 2 + sheet_h * line / 4.5;
    painter.drawLine(QPointF(-sheet_w / 3, ly), QPointF(sheet_w / 3, ly));
  }
  painter.restore();
}

}  // namespace tessary::gui
