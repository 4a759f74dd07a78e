#include "gui/dialog_units.h"

#include <QFontMetrics>

namespace tessary::gui {

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  // The average width of the Latin letters, rounded as the dialog manager rounds it.
  const int letters =
      metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  base_width_ = (letters / 26 + 1) / 2;
  base_height_ = metrics.height();
}

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
  const int left = X(x);
  const int top = Y(y);
  return {left, top, X(x + width) - left, Y(y + height) - top};
}

}  // namespace tessary::gui
