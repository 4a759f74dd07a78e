// One real window on a real X server (ctest runs this under xvfb-run): setup's main window is
// exposed, painted in its bands, and a message box over it answers the button pressed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QTest>

#include "gui/qt_ui_host.h"
#include "gui/setup_window.h"
#include "modal_driver.h"
#include "setup/background.h"

namespace tessary::gui {
namespace {

TEST(RealDisplay, SetupWindowIsShownAndAnswersAMessageBox) {
  ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under xvfb-run with QT_QPA_PLATFORM=xcb";
  SetupWindow window;
  const platform::Window owner{"Brenvik Setup"};
  window.SetLook({&owner, 4, "Tessary", std::nullopt});
  window.resize(640, 480);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const QImage picture = window.grab().toImage();
  const setup::BandColour last = setup::GradientBand(4, 191, 192);
  EXPECT_EQ(picture.pixelColor(5, picture.height() - 2), QColor(last.red, last.green, last.blue));

  WindowRegistry windows;
  windows.Register(&owner, &window);
  QtUiHost host("Setup", windows);
  testing::ModalDriver driver;
  QWidget* parent = nullptr;
  driver.Then("message-box", [&](QWidget& box) {
    parent = box.parentWidget();
    testing::ClickButton(box, "2");
  });
  EXPECT_EQ(host.ShowMessageBox(&owner, "Setup", "Go on?", platform::kMbOkCancel),
            platform::kIdCancel);
  EXPECT_EQ(parent, &window);
  window.SetClosable(true);
  window.close();
}

}  // namespace
}  // namespace tessary::gui
