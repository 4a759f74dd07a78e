#include "gui/setup_face.h"

#include <QApplication>
#include <QIcon>
#include <thread>

#include "gui/qt_progress_host.h"
#include "gui/qt_setup_pages.h"
#include "gui/qt_ui_host.h"
#include "setup/setup_app.h"

namespace tessary::gui {

int RunSetupFace(const std::string& command_line) {
  int argc = 1;
  char name[] = "setup";
  char* argv[] = {name, nullptr};
  QApplication application(argc, argv);
  // The pages end the run; the window going away must not end the event loop under them.
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setWindowIcon(QIcon(":/tessary.svg"));
  WindowRegistry windows;
  QtUiHost ui("Setup", windows);
  QtProgressHost progress(windows);
  SetupWindow window;
  QtSetupPages pages(window, windows);
  platform::SetUiHost(&ui);
  int status = setup::CSetupApp::kFailed;
  std::thread stages([&] {
    status = setup::CSetupApp(&progress, &pages).Run(command_line);
    QMetaObject::invokeMethod(&application, &QCoreApplication::quit, Qt::QueuedConnection);
  });
  QApplication::exec();
  stages.join();
  platform::SetUiHost(nullptr);
  return status;
}

}  // namespace tessary::gui
