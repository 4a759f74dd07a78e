// Message boxes: the Windows type codes give the buttons, their order, the default and the
// answers, whichever thread asks; queued answers show nothing.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <atomic>
#include <thread>

#include "gui/message_box.h"
#include "gui/qt_ui_host.h"
#include "modal_driver.h"

namespace tessary::gui {
namespace {

using namespace platform;
using testing::ModalDriver;
using testing::WaitUntil;

QStringList ButtonNames(QMessageBox& box) {
  QStringList texts;
  for (QAbstractButton* button : box.buttons()) texts << button->objectName();
  texts.sort();
  return texts;
}

TEST(MessageBoxes, EachTypeHasItsButtonsAndDefault) {
  struct Case {
    unsigned type;
    QStringList answers;
    QString default_answer;
  } cases[] = {
      {kMbOk, {"1"}, "1"},
      {kMbOkCancel, {"1", "2"}, "1"},
      {kMbAbortRetryIgnore, {"3", "4", "5"}, "3"},
      {kMbYesNoCancel, {"2", "6", "7"}, "6"},
      {kMbYesNo | kMbDefButton2, {"6", "7"}, "7"},
      {kMbRetryCancel | kMbDefButton2, {"2", "4"}, "2"},
  };
  for (const Case& c : cases) {
    auto box = BuildMessageBox(nullptr, "Caption", "Text", c.type);
    EXPECT_EQ(ButtonNames(*box), c.answers) << c.type;
    ASSERT_NE(box->defaultButton(), nullptr);
    EXPECT_EQ(box->defaultButton()->objectName(), c.default_answer) << c.type;
  }
}

TEST(MessageBoxes, IconsFollowTheType) {
  EXPECT_EQ(BuildMessageBox(nullptr, "", "", kMbIconStop)->icon(), QMessageBox::Critical);
  EXPECT_EQ(BuildMessageBox(nullptr, "", "", kMbIconQuestion)->icon(), QMessageBox::Question);
  EXPECT_EQ(BuildMessageBox(nullptr, "", "", kMbIconExclamation)->icon(), QMessageBox::Warning);
  EXPECT_EQ(BuildMessageBox(nullptr, "", "", kMbIconInformation)->icon(),
            QMessageBox::Information);
  EXPECT_EQ(BuildMessageBox(nullptr, "", "", kMbOk)->icon(), QMessageBox::NoIcon);
}

TEST(MessageBoxes, ClosingWithoutAButtonRefuses) {
  auto yes_no = BuildMessageBox(nullptr, "", "", kMbYesNo);
  EXPECT_EQ(AnswerOf(*yes_no, kMbYesNo), kIdNo);
  auto retry = BuildMessageBox(nullptr, "", "", kMbRetryCancel);
  EXPECT_EQ(AnswerOf(*retry, kMbRetryCancel), kIdCancel);
  auto ok = BuildMessageBox(nullptr, "", "", kMbOk);
  EXPECT_EQ(AnswerOf(*ok, kMbOk), kIdOk);
  auto abort = BuildMessageBox(nullptr, "", "", kMbAbortRetryIgnore);
  EXPECT_EQ(AnswerOf(*abort, kMbAbortRetryIgnore), kIdIgnore);
}

class QtHostTest : public ::testing::Test {
 protected:
  WindowRegistry windows_;
  QtUiHost host_{"Tessary", windows_};
};

TEST_F(QtHostTest, TheButtonPressedIsTheAnswer) {
  ModalDriver driver;
  QString shown_text;
  QString shown_caption;
  driver.Then("message-box", [&](QWidget& box) {
    shown_caption = box.windowTitle();
    shown_text = static_cast<QMessageBox&>(box).text();
    testing::ClickButton(box, "4");
  });
  const int answer = host_.ShowMessageBox(nullptr, "", "Could not write.\nTry again?",
                                          kMbRetryCancel | kMbIconExclamation);
  EXPECT_EQ(answer, kIdRetry);
  EXPECT_TRUE(driver.Done());
  EXPECT_EQ(shown_caption, "Tessary");  // no owner, no caption: the application's title
  EXPECT_EQ(shown_text, "Could not write.\nTry again?");
}

TEST_F(QtHostTest, AWorkThreadWaitsForTheAnswer) {
  ModalDriver driver;
  driver.Click("message-box", "7");
  std::atomic<int> answer{0};
  std::atomic<bool> done{false};
  Window owner{"Owner title"};
  std::thread worker([&] {
    answer = host_.ShowMessageBox(&owner, "", "Replace it?", kMbYesNo);
    done = true;
  });
  const bool finished = WaitUntil([&] { return done.load(); });
  worker.join();
  ASSERT_TRUE(finished);
  EXPECT_EQ(answer.load(), kIdNo);
  ASSERT_EQ(host_.Boxes().size(), 1u);
  EXPECT_EQ(host_.Boxes()[0].caption, "Owner title");
}

TEST_F(QtHostTest, AnEnterPressTakesTheDefaultButton) {
  ModalDriver driver;
  driver.Then("message-box", [](QWidget& box) {
    QTest::keyClick(&box, Qt::Key_Return);
  });
  EXPECT_EQ(host_.ShowMessageBox(nullptr, "Licence", "Accept?", kMbYesNo | kMbDefButton2), kIdNo);
  driver.Then("message-box", [](QWidget& box) { QTest::keyClick(&box, Qt::Key_Escape); });
  EXPECT_EQ(host_.ShowMessageBox(nullptr, "Setup", "Go on?", kMbOkCancel), kIdCancel);
}

TEST_F(QtHostTest, QueuedAnswersShowNothing) {
  host_.QueueAnswer(kIdIgnore);
  EXPECT_EQ(host_.ShowMessageBox(nullptr, "Cap", "Skip this line?", kMbAbortRetryIgnore),
            kIdIgnore);
  ASSERT_EQ(host_.Boxes().size(), 1u);
  EXPECT_EQ(host_.Boxes()[0].caption, "Cap");
  EXPECT_EQ(host_.Boxes()[0].text, "Skip this line?");
  EXPECT_EQ(host_.Boxes()[0].type, unsigned(kMbAbortRetryIgnore));
}

}  // namespace
}  // namespace tessary::gui
