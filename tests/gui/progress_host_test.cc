// The progress dialog on Qt: a work thread's updates reach the window through the
// user-interface thread, Cancel reaches the work at its next step, the window keeps handling
// events during a long run, and setup's arrangement (window on a thread of its own) works too.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <atomic>
#include <set>
#include <thread>

#include "gui/animation_widget.h"
#include "gui/qt_progress_host.h"
#include "modal_driver.h"
#include "setup/setup_progress.h"
#include "support/bvk_progress_dlg.h"

namespace tessary::gui {
namespace {

using testing::ModalDriver;
using testing::WaitUntil;

template <class T>
T& Child(QWidget& window, int id) {
  T* child = window.findChild<T*>(QString::number(id));
  EXPECT_NE(child, nullptr) << id;
  return *child;
}

void WaitForPhase(const std::atomic<int>& phase, int wanted) {
  while (phase.load() < wanted) std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

class ProgressHostTest : public ::testing::Test {
 protected:
  WindowRegistry windows_;
  QtProgressHost host_{windows_};
};

TEST_F(ProgressHostTest, WorkUpdatesReachTheWindowAndCancelStopsTheWork) {
  auto dialog = std::make_unique<CBVKProgressDlg>(host_, nullptr, 165);
  dialog->SetAnimationResource(164);
  std::atomic<int> phase{0};
  bool stepped_after_cancel = true;
  dialog->SetWorkFunction([&](CBVKProgressDlg& progress) {
    progress.SetRange(10, 1);
    progress.StepProgress(3);
    progress.SetStatusText("Searching for objects in the container:\nOU=Sales");
    progress.SetItemText(1070, "42");
    phase = 1;
    WaitForPhase(phase, 2);  // the window is looked at and Cancel pressed
    stepped_after_cancel = progress.StepProgress();
    progress.SetStatusText("not shown");
    return 7;
  });
  ModalDriver driver;
  QString caption, status, total, status_after;
  int bar_value = -1, bar_upper = -1;
  bool playing = false, bar_hidden = false, cancel_enabled = true;
  driver.Then(
      "165",
      [&](QWidget& window) {
        caption = window.windowTitle();
        status = Child<QLabel>(window, 1080).text();
        total = Child<QLabel>(window, 1070).text();
        bar_value = Child<QProgressBar>(window, 1057).value();
        bar_upper = Child<QProgressBar>(window, 1057).maximum();
        playing = Child<AnimationWidget>(window, 1055).Playing();
        testing::ClickButton(window, "1056");
        status_after = Child<QLabel>(window, 1080).text();
        bar_hidden = Child<QProgressBar>(window, 1057).isHidden();
        cancel_enabled = Child<QPushButton>(window, 1056).isEnabled();
        phase = 2;
      },
      [&] { return phase.load() == 1; });
  EXPECT_EQ(CBVKProgressDlg::Run(std::move(dialog)), 7);
  EXPECT_TRUE(driver.Done());
  EXPECT_EQ(caption, "Tessary");
  EXPECT_EQ(status, "Searching for objects in the container:\nOU=Sales");
  EXPECT_EQ(total, "42");
  EXPECT_EQ(bar_value, 3);
  EXPECT_EQ(bar_upper, 10);
  EXPECT_TRUE(playing);
  EXPECT_EQ(status_after, "Processing cancel message, please wait...");
  EXPECT_TRUE(bar_hidden);
  EXPECT_FALSE(cancel_enabled);
  EXPECT_FALSE(stepped_after_cancel);
}

TEST_F(ProgressHostTest, TheWindowHandlesEventsThroughALongRun) {
  constexpr int kLines = 20000;
  auto dialog = std::make_unique<CBVKProgressDlg>(host_, nullptr, 201, 1057, -1);
  dialog->SetWorkFunction([](CBVKProgressDlg& progress) {
    progress.SetRange(kLines, 1);
    for (int line = 0; line < kLines; ++line) {
      progress.SetStatusText("Importing line " + std::to_string(line + 1));
      if (!progress.StepProgress()) return 0;
    }
    return 1;
  });
  // A timer of the user-interface thread samples the bar while the work runs: it only fires
  // when that thread goes back to its event loop between the work's updates.
  std::set<int> positions;
  QString first_status;
  QTimer sampler;
  sampler.setInterval(1);
  QObject::connect(&sampler, &QTimer::timeout, [&] {
    QWidget* window = QApplication::activeModalWidget();
    if (!window || window->objectName() != "201") return;
    positions.insert(Child<QProgressBar>(*window, 1057).value());
    if (first_status.isEmpty()) first_status = Child<QLabel>(*window, -1).text();
  });
  sampler.start();
  EXPECT_EQ(CBVKProgressDlg::Run(std::move(dialog)), 1);
  sampler.stop();
  std::set<int> between;
  for (int position : positions) {
    if (position > 0 && position < kLines - 1) between.insert(position);
  }
  EXPECT_GE(between.size(), 2u) << "the window did not run between the work's steps";
  EXPECT_FALSE(first_status.isEmpty());
}

TEST_F(ProgressHostTest, SetupShowsTheWindowFromAThreadOfItsOwn) {
  const platform::Window owner{"Brenvik Setup"};
  std::atomic<int> phase{0};
  std::atomic<bool> finished{false};
  std::int32_t result = -1;
  bool stepped_after_cancel = true;
  std::thread stages([&] {
    setup::CSetupProgress progress(&host_, &owner, setup::CSetupProgress::kCopyTemplate,
                                   setup::CSetupProgress::kCopyCancelId, 0);
    result = progress.Run([&](setup::CSetupProgress& dialog) {
      dialog.SetRange(4, 1);
      dialog.StepProgress();
      dialog.SetItemText(setup::CSetupProgress::kFromTextId, "/media/cd/App.exe");
      dialog.SetItemText(setup::CSetupProgress::kToTextId, "/opt/Brenvik/App.exe");
      phase = 1;
      WaitForPhase(phase, 2);
      stepped_after_cancel = dialog.StepProgress();
      return 0;
    });
    finished = true;
  });
  ModalDriver driver;
  QString caption, from, to;
  bool bar_hidden = false;
  driver.Then(
      "297",
      [&](QWidget& window) {
        caption = window.windowTitle();
        from = Child<QLabel>(window, 1023).text();
        to = Child<QLabel>(window, 1024).text();
        // Escape is the Cancel button, as on any dialog.
        QTest::keyClick(&window, Qt::Key_Escape);
      },
      [&] { return phase.load() == 1; });
  // The press travels to the window's thread and back; the bar goes once it is handled.
  QTimer watcher;
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    QWidget* window = QApplication::activeModalWidget();
    if (phase.load() == 1 && driver.Done() && window &&
        Child<QProgressBar>(*window, 1122).isHidden()) {
      bar_hidden = true;
      phase = 2;
    }
  });
  watcher.start(5);
  const bool ended = WaitUntil([&] { return finished.load(); });
  if (!ended) phase = 2;
  stages.join();
  ASSERT_TRUE(ended);
  EXPECT_EQ(caption, "Brenvik Setup");
  EXPECT_EQ(from, "/media/cd/App.exe");
  EXPECT_EQ(to, "/opt/Brenvik/App.exe");
  EXPECT_TRUE(bar_hidden);
  EXPECT_FALSE(stepped_after_cancel);
  EXPECT_EQ(result, 0);
  // The window is gone with the run, and calls after it do nothing.
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  host_.SetControlText(1023, "late");
  EXPECT_EQ(host_.BarUpper(1122), 0);
}

}  // namespace
}  // namespace tessary::gui
