#include "gui/wrapping_button.h"

#include <QRegularExpression>

namespace tessary::gui {
namespace {

// The width the text takes on screen: a mnemonic's "&" is not drawn.
int Advance(const QFontMetrics& metrics, QString text) {
  text.remove(QRegularExpression("&(?!&)"));
  return metrics.horizontalAdvance(text);
}

}  // namespace

QString WrappedText(const QString& text, const QFontMetrics& metrics, int width) {
  QStringList lines;
  for (const QString& paragraph : text.split('\n')) {
    QString line;
    for (const QString& word : paragraph.split(' ', Qt::SkipEmptyParts)) {
      const QString longer = line.isEmpty() ? word : line + ' ' + word;
      if (!line.isEmpty() && Advance(metrics, longer) > width) {
        lines << line;
        line = word;
      } else {
        line = longer;
      }
    }
    lines << line;
  }
  return lines.join('\n');
}

}  // namespace tessary::gui
