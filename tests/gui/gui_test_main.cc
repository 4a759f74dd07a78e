// The GUI tests' main: one application object for the whole program, on Qt's offscreen
// platform unless the run names another (the smoke test runs under a real X server).
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

namespace {

// The offscreen platform says at every window that it cannot pass size hints on; nothing else
// of Qt's own chatter is dropped.
void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains("propagateSizeHints")) return;
  qt_message_output(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
  qInstallMessageHandler(FilterMessages);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Tests never read the desktop's settings: the same look on every machine.
  setenv("QT_QPA_PLATFORMTHEME", "", 1);
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
