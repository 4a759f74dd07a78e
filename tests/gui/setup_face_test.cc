// setup under a display, end to end: the stages on their own thread, its pages and progress
// window over the main window, driven by clicks and typing on the widgets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <thread>
#include <unistd.h>

#include "gui/qt_progress_host.h"
#include "gui/qt_setup_pages.h"
#include "gui/qt_ui_host.h"
#include "modal_driver.h"
#include "setup/setup_app.h"
#include "setup_test_machine.h"

namespace tessary::gui {
namespace {

using setup::CSetupApp;
using testing::ModalDriver;

template <class T>
T& Child(QWidget& window, int id) {
  T* child = window.findChild<T*>(QString::number(id));
  EXPECT_NE(child, nullptr) << id;
  return *child;
}

void TypeInto(QLineEdit& edit, const QString& text) {
  edit.selectAll();
  QTest::keyClick(&edit, Qt::Key_Delete);
  QTest::keyClicks(&edit, text);
}

class SetupFace : public setup::testing::SetupMachine {
 protected:
  void SetUp() override {
    SetupMachine::SetUp();
    ASSERT_TRUE(getcwd(saved_cwd_, sizeof saved_cwd_));
    ASSERT_EQ(chdir(SourceFolder().c_str()), 0);
    platform::SetUiHost(&ui_);
  }
  void TearDown() override {
    platform::SetUiHost(nullptr);
    ASSERT_EQ(chdir(saved_cwd_), 0);
  }

  // Runs setup as its window does: the stages on a thread, this thread handling the widgets.
  int Run(const std::string& command_line) {
    std::atomic<bool> done{false};
    int status = -1;
    std::thread stages([&] {
      status = CSetupApp(&progress_, &pages_).Run(command_line);
      done = true;
    });
    const bool ended = testing::WaitUntil([&] { return done.load(); });
    if (!ended) {
      // Leaves the pages so that the thread can end; the test has failed already.
      ADD_FAILURE() << "setup did not end";
      while (!done.load()) {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
        QApplication::processEvents();
      }
    }
    stages.join();
    return status;
  }

  void ProductScript() {
    Source("Files.dat",
           "PROD  Tessary\nCODE  TY\nRQAP  First\nRQAP  Second\nRQOS  Linux\nFILE  App.exe\n"
           "FILE  ReadMe-TY.txt\n");
    Source("App.exe", "x");
    Source("ReadMe-TY.txt", "read me");
    Source("License-TY.txt", "Line one\nLine two\n");
  }

  WindowRegistry windows_;
  QtUiHost ui_{"Setup", windows_};
  QtProgressHost progress_{windows_};
  SetupWindow window_;
  QtSetupPages pages_{window_, windows_};
  char saved_cwd_[4096] = {};
};

TEST_F(SetupFace, EveryPageInTurnThenTheFilesAreInstalled) {
  ProductScript();
  ModalDriver driver;
  QStringList welcome, requirements;
  int licence_lines = 0;
  bool ok_before_accept = true, ok_after_accept = false;
  QString folder_shown, information;
  driver.Then("132", [&](QWidget& page) {
    for (QLabel* label : page.findChildren<QLabel*>()) welcome << label->text();
    testing::ClickButton(page, "1");
  });
  driver.Then("332", [&](QWidget& page) {
    licence_lines = Child<QListWidget>(page, 1138).count();
    ok_before_accept = Child<QPushButton>(page, 1).isEnabled();
    EXPECT_TRUE(Child<QRadioButton>(page, 1153).isChecked());
    testing::ClickOption(Child<QRadioButton>(page, 1152));
    ok_after_accept = Child<QPushButton>(page, 1).isEnabled();
    testing::ClickButton(page, "1");
  });
  driver.Then("329", [&](QWidget& page) {
    requirements << Child<QLabel>(page, 1132).text() << Child<QLabel>(page, 1145).text()
                 << Child<QLabel>(page, 1151).text();
    testing::ClickButton(page, "1");
  });
  driver.Then("180", [&](QWidget& page) {
    folder_shown = Child<QLineEdit>(page, 1115).text();
    TypeInto(Child<QLineEdit>(page, 1115), QString::fromStdString(MachineFolder("/apps")));
    testing::ClickButton(page, "1");
  });
  driver.Then("133", [&](QWidget& page) {
    information = Child<QCheckBox>(page, 1143).text();
    // Unchecked: no editor is started for the ReadMe.
    testing::ClickOption(Child<QCheckBox>(page, 1143));
    testing::ClickButton(page, "1");
  });
  ASSERT_EQ(Run(""), CSetupApp::kCompleted);
  EXPECT_TRUE(driver.Done());
  EXPECT_TRUE(welcome.contains("Welcome to the Brenvik installation program."));
  EXPECT_TRUE(welcome.contains(
      "It is strongly recommended that you close Outlook before continuing with this setup."));
  EXPECT_EQ(licence_lines, 2);
  EXPECT_FALSE(ok_before_accept);
  EXPECT_TRUE(ok_after_accept);
  EXPECT_EQ(requirements,
            QStringList({"Tessary Requirements", "Second\nFirst", "Linux"}));
  EXPECT_EQ(folder_shown.toStdString() + "/", InstallFolder());
  EXPECT_EQ(information, "&View important information about Tessary");
  EXPECT_TRUE(Exists(MachineFolder("/apps/Brenvik/App.exe")));
  // The main window: the scheme of the code TY, its title, the product's name.
  EXPECT_TRUE(window_.isVisible());
  EXPECT_EQ(window_.ColourScheme(), 5);
  EXPECT_EQ(window_.windowTitle(), "Brenvik Setup");
  EXPECT_EQ(Child<QLabel>(window_, 1127).text(), "Tessary");
  EXPECT_NE(std::find(driver.Seen().begin(), driver.Seen().end(), "297"), driver.Seen().end()) << "no copy progress window";
}

TEST_F(SetupFace, LeavingOnTheWelcomeOrTheLicenceInstallsNothing) {
  ProductScript();
  ModalDriver leave_welcome;
  leave_welcome.Click("132", "2");
  EXPECT_EQ(Run(""), CSetupApp::kRefused);
  ModalDriver leave_licence;
  leave_licence.Click("132", "1");
  leave_licence.Click("332", "2");
  EXPECT_EQ(Run(""), CSetupApp::kRefused);
  EXPECT_TRUE(leave_licence.Done());
  EXPECT_FALSE(Exists(InstallFolder()));
}

TEST_F(SetupFace, AnUpdateHasItsOwnWelcomeAndTitle) {
  Source("Files.dat", "FILE  App.exe\n");
  Source("App.exe", "x");
  ModalDriver driver;
  QString caption;
  driver.Then("331", [&](QWidget& page) {
    caption = page.windowTitle();
    testing::ClickButton(page, "1");
  });
  driver.Click("180", "1");
  driver.Click("133", "1");
  EXPECT_EQ(Run(""), CSetupApp::kCompleted);
  EXPECT_TRUE(driver.Done());
  EXPECT_EQ(caption, "Brenvik Update");
  EXPECT_EQ(window_.windowTitle(), "Brenvik Update");
  EXPECT_TRUE(Exists(InstallFolder() + "App.exe"));
}

TEST_F(SetupFace, TheFolderBrowserMakesANewFolderForTheInstall) {
  Source("Files.dat", "PROD  Tessary\nCODE  TY\nFILE  App.exe\n");
  Source("App.exe", "x");
  const std::string apps = MachineFolder("/apps");
  std::filesystem::create_directories(apps);
  ModalDriver driver;
  driver.Click("132", "1");
  driver.Click("329", "1");
  driver.Then("180", [&](QWidget& page) {
    TypeInto(Child<QLineEdit>(page, 1115), QString::fromStdString(apps));
    testing::ClickButton(page, "269");  // the browser's own loop runs the next steps
  });
  driver.Then("143", [&](QWidget& browser) {
    EXPECT_EQ(Child<QLineEdit>(browser, 1020).text().toStdString(), apps);
    testing::ClickButton(browser, "1021");
  });
  driver.Then("142", [&](QWidget& dialog) {
    EXPECT_EQ(Child<QLineEdit>(dialog, 1024).text().toStdString(), apps);
    EXPECT_EQ(Child<QLineEdit>(dialog, 1022).text(), "Untitled");
    TypeInto(Child<QLineEdit>(dialog, 1022), "Tools");
    testing::ClickButton(dialog, "1");
  });
  driver.Then("143", [&](QWidget& browser) {
    EXPECT_EQ(Child<QLineEdit>(browser, 1020).text().toStdString(), apps + "/Tools");
    testing::ClickButton(browser, "1");
  });
  driver.Then("180", [&](QWidget& page) {
    EXPECT_EQ(Child<QLineEdit>(page, 1115).text().toStdString(), apps + "/Tools");
    testing::ClickButton(page, "1");
  });
  driver.Click("133", "1");
  EXPECT_EQ(Run(""), CSetupApp::kCompleted);
  EXPECT_TRUE(driver.Done());
  EXPECT_TRUE(Exists(apps + "/Tools/Brenvik/App.exe"));
}

}  // namespace
}  // namespace tessary::gui
