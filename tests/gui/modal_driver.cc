#include "modal_driver.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>

namespace tessary::gui::testing {

namespace {

// Notes every window as it is shown, however briefly.
class ShowRecorder : public QObject {
 public:
  explicit ShowRecorder(std::vector<QString>& seen) : seen_(seen) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow()) {
      seen_.push_back(watched->objectName());
    }
    return false;
  }

 private:
  std::vector<QString>& seen_;
};

}  // namespace

ModalDriver::ModalDriver() : recorder_(std::make_unique<ShowRecorder>(seen_)) {
  QApplication::instance()->installEventFilter(recorder_.get());
  timer_.setInterval(15);
  QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
  timer_.start();
}

ModalDriver::~ModalDriver() {
  timer_.stop();
  QApplication::instance()->removeEventFilter(recorder_.get());
}

void ModalDriver::Then(const QString& window_name, Action action, std::function<bool()> ready) {
  steps_.push_back({window_name, std::move(action), std::move(ready)});
}

void ModalDriver::Click(const QString& window_name, const QString& button_name) {
  Then(window_name, [button_name](QWidget& window) { ClickButton(window, button_name); });
}

void ModalDriver::Poll() {
  QWidget* modal = QApplication::activeModalWidget();
  if (starting_ || steps_.empty() || !modal || !modal->isVisible()) return;
  if (modal->objectName() != steps_.front().window) return;
  if (steps_.front().ready && !steps_.front().ready()) return;
  Step step = std::move(steps_.front());
  steps_.pop_front();
  // An action may open a nested modal loop, inside which this timer would not fire again: the
  // action runs from a timer of its own, and the next steps from this one inside that loop.
  starting_ = true;
  QPointer<QWidget> window = modal;
  QTimer::singleShot(0, [this, window, action = std::move(step.action)] {
    starting_ = false;
    if (window) action(*window);
  });
}

bool WaitUntil(const std::function<bool()>& done, int seconds) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > seconds * 1000) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(2);
  }
  return true;
}

void ClickButton(QWidget& window, const QString& button_name) {
  auto* button = window.findChild<QAbstractButton*>(button_name);
  ASSERT_NE(button, nullptr) << button_name.toStdString() << " in "
                             << window.objectName().toStdString();
  ASSERT_TRUE(button->isEnabled()) << button_name.toStdString();
  QTest::mouseClick(button, Qt::LeftButton);
}

}  // namespace tessary::gui::testing

namespace tessary::gui::testing {

void ClickOption(QAbstractButton& option) {
  QTest::mouseClick(&option, Qt::LeftButton, {}, QPoint(6, option.height() / 2));
}

}  // namespace tessary::gui::testing
