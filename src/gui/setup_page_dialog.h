#pragma once
// The frame every setup page shares: a caption, a bold heading, the page's own controls, and a
// row of buttons on the right (OK is "1", the button that leaves setup is "2").

#include <QDialog>

class QBoxLayout;
class QPushButton;
class QLabel;

namespace tessary::gui {

class SetupPageDialog : public QDialog {
 public:
  // cancel_text: the text of the button that leaves (empty: the page has only OK).
  SetupPageDialog(QWidget* parent, int template_id, const QString& caption,
                  const QString& heading, const QString& cancel_text);

  QBoxLayout* Body() const { return body_; }
  QPushButton* Ok() const { return ok_; }
  // A paragraph of plain text, wrapped; id 0 gives it no control id.
  QLabel* AddParagraph(const QString& text, int id = 0);

 private:
  QBoxLayout* body_;
  QPushButton* ok_;
};

}  // namespace tessary::gui
