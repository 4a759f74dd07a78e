#include "gui/message_box.h"

#include <QAbstractButton>
#include <QPushButton>

#include "platform/ui/ui_host.h"

namespace tessary::gui {
namespace {

using namespace platform;

QMessageBox::StandardButton ButtonOf(int answer) {
  switch (answer) {
    case kIdCancel:
      return QMessageBox::Cancel;
    case kIdAbort:
      return QMessageBox::Abort;
    case kIdRetry:
      return QMessageBox::Retry;
    case kIdIgnore:
      return QMessageBox::Ignore;
    case kIdYes:
      return QMessageBox::Yes;
    case kIdNo:
      return QMessageBox::No;
    default:
      return QMessageBox::Ok;
  }
}

QMessageBox::Icon IconOf(unsigned type) {
  switch (type & 0xF0) {
    case kMbIconStop:
      return QMessageBox::Critical;
    case kMbIconQuestion:
      return QMessageBox::Question;
    case kMbIconExclamation:
      return QMessageBox::Warning;
    case kMbIconInformation:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

// What Escape and the close box answer: Cancel, else No, else the only button.
int EscapeAnswer(unsigned type) {
  const std::vector<int> answers = AnswersOfType(type);
  for (int wanted : {int(kIdCancel), int(kIdNo)}) {
    for (int answer : answers) {
      if (answer == wanted) return answer;
    }
  }
  return answers.size() == 1 ? answers.front() : 0;
}

}  // namespace

std::vector<int> AnswersOfType(unsigned type) {
  switch (type & 0xF) {
    case kMbOkCancel:
      return {kIdOk, kIdCancel};
    case kMbAbortRetryIgnore:
      return {kIdAbort, kIdRetry, kIdIgnore};
    case kMbYesNoCancel:
      return {kIdYes, kIdNo, kIdCancel};
    case kMbYesNo:
      return {kIdYes, kIdNo};
    case kMbRetryCancel:
      return {kIdRetry, kIdCancel};
    default:
      return {kIdOk};
  }
}

std::unique_ptr<QMessageBox> BuildMessageBox(QWidget* parent, const std::string& caption,
                                             const std::string& text, unsigned type) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setObjectName("message-box");
  box->setWindowTitle(QString::fromStdString(caption));
  box->setTextFormat(Qt::PlainText);
  box->setText(QString::fromStdString(text));
  box->setIcon(IconOf(type));
  const std::vector<int> answers = AnswersOfType(type);
  for (std::size_t i = 0; i < answers.size(); ++i) {
    QPushButton* button = box->addButton(ButtonOf(answers[i]));
    button->setObjectName(QString::number(answers[i]));
    if (i == ((type & kMbDefButton2) && answers.size() > 1 ? 1u : 0u)) box->setDefaultButton(button);
  }
  const int escape = EscapeAnswer(type);
  if (escape) box->setEscapeButton(box->findChild<QPushButton*>(QString::number(escape)));
  return box;
}

int AnswerOf(const QMessageBox& box, unsigned type) {
  const QAbstractButton* clicked = box.clickedButton();
  if (clicked) {
    bool ok = false;
    const int answer = clicked->objectName().toInt(&ok);
    if (ok) return answer;
  }
  const int escape = EscapeAnswer(type);
  return escape ? escape : AnswersOfType(type).back();
}

}  // namespace tessary::gui
