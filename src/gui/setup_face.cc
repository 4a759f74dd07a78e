#include "gui/setup_face.h"

#include <thread>

#include "gui/qt_face.h"
#include "gui/qt_setup_pages.h"
#include "setup/setup_app.h"

namespace tessary::gui {

int RunSetupFace(const std::string& command_line) {
  QtFace face("Setup");
  // The pages end the run; the window going away must not end the event loop under them.
  QApplication::setQuitOnLastWindowClosed(false);
  SetupWindow window;
  QtSetupPages pages(window, face.Windows());
  int status = setup::CSetupApp::kFailed;
  std::thread stages([&] {
    status = setup::CSetupApp(&face.Progress(), &pages).Run(command_line);
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
  });
  QApplication::exec();
  stages.join();
  return status;
}

}  // namespace tessary::gui
