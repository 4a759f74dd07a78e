#pragma once
// A check box or option button whose text wraps at its width, as a template's multi-line
// button shows it: the style draws the button with the text broken into lines at spaces.

#include <QCheckBox>
#include <QFontMetrics>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace tessary::gui {

// text with line breaks where a line would grow wider than width; breaks the text already has
// stay, and a word wider than width stands on a line of its own.
QString WrappedText(const QString& text, const QFontMetrics& metrics, int width);

template <class Button, QStyle::ControlElement kControl, QStyle::SubElement kContents>
class WrappingButton final : public Button {
 public:
  using Button::Button;

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter painter(this);
    QStyleOptionButton option;
    this->initStyleOption(&option);
    const QRect contents = this->style()->subElementRect(kContents, &option, this);
    option.text = WrappedText(option.text, option.fontMetrics, contents.width());
    painter.drawControl(kControl, option);
  }
};

using WrappingCheckBox =
    WrappingButton<QCheckBox, QStyle::CE_CheckBox, QStyle::SE_CheckBoxContents>;
using WrappingRadioButton =
    WrappingButton<QRadioButton, QStyle::CE_RadioButton, QStyle::SE_RadioButtonContents>;

}  // namespace tessary::gui
