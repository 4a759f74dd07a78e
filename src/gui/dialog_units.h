#pragma once
// Dialog units: a template's positions scale with the dialog's font, a quarter of its average
// character width across and an eighth of its height down, so a layout looks the same at any
// font size or screen density.

#include <QFont>
#include <QRect>

namespace tessary::gui {

class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);

  int X(int units) const { return (units * base_width_ + 2) / 4; }
  int Y(int units) const { return (units * base_height_ + 4) / 8; }
  QRect Rect(int x, int y, int width, int height) const;
  QSize Size(int width, int height) const { return {X(width), Y(height)}; }

 private:
  int base_width_;
  int base_height_;
};

}  // namespace tessary::gui
