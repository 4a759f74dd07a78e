#include "gui/gui_thread.h"

#include <QCoreApplication>
#include <QThread>

namespace tessary::gui {

bool OnGuiThread() {
  QCoreApplication* application = QCoreApplication::instance();
  return !application || QThread::currentThread() == application->thread();
}

void RunOnGuiThread(const std::function<void()>& fn) {
  if (OnGuiThread()) {
    fn();
    return;
  }
  QMetaObject::invokeMethod(QCoreApplication::instance(), fn, Qt::BlockingQueuedConnection);
}

}  // namespace tessary::gui
