// The credential dialog: asked from the thread that connects, answered on the widgets; the
// password is hidden while typed and gone from the dialog once read.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <atomic>
#include <thread>

#include "gui/credential_dialog.h"
#include "gui/qt_ui_host.h"
#include "modal_driver.h"

namespace tessary::gui {
namespace {

using testing::ModalDriver;

class Credentials : public ::testing::Test {
 protected:
  // Asks from a thread of its own, as a connection inside the progress dialog's work does.
  std::optional<platform::Credentials> AskFromAWorker(const platform::CredentialRequest& request) {
    std::atomic<bool> done{false};
    std::optional<platform::Credentials> answer;
    std::thread worker([&] {
      answer = host_.AskCredentials(request);
      done = true;
    });
    const bool ended = testing::WaitUntil([&] { return done.load(); });
    worker.join();
    EXPECT_TRUE(ended);
    return answer;
  }

  WindowRegistry windows_;
  QtUiHost host_{"Tessary", windows_};
};

TEST_F(Credentials, TheAccountAndPasswordTypedAreTheAnswer) {
  ModalDriver driver;
  QLineEdit::EchoMode echo = QLineEdit::Normal;
  QString account_shown;
  driver.Then("credentials", [&](QWidget& dialog) {
    auto* account = dialog.findChild<QLineEdit*>("account");
    auto* password = dialog.findChild<QLineEdit*>("password");
    account_shown = account->text();
    echo = password->echoMode();
    account->selectAll();
    QTest::keyClicks(account, "CN=Ann,CN=Users,DC=example,DC=test");
    QTest::keyClicks(password, "S3cret, really");
    testing::ClickButton(dialog, "1");
  });
  const auto answer =
      AskFromAWorker({"ldaps://dc1.example.test", "CN=Administrator,CN=Users,DC=example,DC=test"});
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->account, "CN=Ann,CN=Users,DC=example,DC=test");
  EXPECT_EQ(answer->password, "S3cret, really");
  EXPECT_EQ(account_shown, "CN=Administrator,CN=Users,DC=example,DC=test");
  EXPECT_EQ(echo, QLineEdit::Password);
}

TEST_F(Credentials, CancelGivesNothing) {
  ModalDriver driver;
  driver.Then("credentials", [](QWidget& dialog) {
    QTest::keyClicks(dialog.findChild<QLineEdit*>("password"), "typed");
    testing::ClickButton(dialog, "2");
  });
  EXPECT_FALSE(AskFromAWorker({"ldap://dc1", "CN=x"}));
}

TEST_F(Credentials, NoAccountNoOk) {
  CredentialDialog dialog(nullptr, "Tessary", {"ldap://dc1", ""});
  auto* ok = dialog.findChild<QPushButton*>("1");
  EXPECT_FALSE(ok->isEnabled());
  QTest::keyClicks(dialog.findChild<QLineEdit*>("account"), "ann");
  EXPECT_TRUE(ok->isEnabled());
  QTest::keyClicks(dialog.findChild<QLineEdit*>("password"), "pw");
  const platform::Credentials taken = dialog.TakeCredentials();
  EXPECT_EQ(taken.password, "pw");
  EXPECT_TRUE(dialog.findChild<QLineEdit*>("password")->text().isEmpty());
}

}  // namespace
}  // namespace tessary::gui
