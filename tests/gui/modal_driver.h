#pragma once
// Drives modal windows from inside their own event loops: each step waits until the active
// modal window has the expected objectName, then acts on it (clicks, typing). A modal loop
// blocks the test's code, but not the driver's timer, which fires inside it.

#include <QAbstractButton>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tessary::gui::testing {

class ModalDriver {
 public:
  using Action = std::function<void(QWidget& window)>;

  ModalDriver();
  ~ModalDriver();

  // When the active modal window is named window_name (and ready() says so), runs action on it.
  void Then(const QString& window_name, Action action,
            std::function<bool()> ready = nullptr);
  // Clicks the push button named button_name in the window named window_name.
  void Click(const QString& window_name, const QString& button_name);

  // True once every step has run.
  bool Done() const { return steps_.empty(); }
  // The names of the windows shown while the driver ran, in order, each once per appearance.
  const std::vector<QString>& Seen() const { return seen_; }

 private:
  void Poll();

  struct Step {
    QString window;
    Action action;
    std::function<bool()> ready;
  };
  std::deque<Step> steps_;
  std::vector<QString> seen_;
  std::unique_ptr<QObject> recorder_;
  QTimer timer_;
  bool starting_ = false;
};

// Pumps events until done() is true or the seconds pass; false on timeout.
bool WaitUntil(const std::function<bool()>& done, int seconds = 30);

// Clicks a check box or option button on its box, where a person aims (a wide one's middle
// may lie past its text, where a click does nothing).
void ClickOption(QAbstractButton& option);

// Clicks a button (by objectName) found in the widget, as a person would with the mouse.
void ClickButton(QWidget& window, const QString& button_name);

}  // namespace tessary::gui::testing
