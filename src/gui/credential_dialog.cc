#include "gui/credential_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tessary::gui {

CredentialDialog::CredentialDialog(QWidget* parent, const std::string& caption,
                                   const platform::CredentialRequest& request)
    : QDialog(parent) {
  setObjectName("credentials");
  setWindowTitle(QString::fromStdString(caption));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  auto* column = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  auto* icon = new QLabel;
  const int size = fontMetrics().height() * 2;
  icon->setPixmap(style()->standardIcon(QStyle::SP_DriveNetIcon).pixmap(size, size));
  top->addWidget(icon, 0, Qt::AlignTop);
  auto* text = new QLabel(
      QString("The directory '%1' asks who you are. Enter the account and password to connect "
              "with; the password is kept only while this program runs.")
          .arg(QString::fromStdString(request.server)));
  text->setWordWrap(true);
  text->setTextFormat(Qt::PlainText);
  top->addWidget(text, 1);
  column->addLayout(top);

  auto* form = new QFormLayout;
  account_ = new QLineEdit(QString::fromStdString(request.account));
  account_->setObjectName("account");
  account_->setMinimumWidth(fontMetrics().averageCharWidth() * 60);
  account_->setCursorPosition(0);
  password_ = new QLineEdit;
  password_->setObjectName("password");
  password_->setEchoMode(QLineEdit::Password);
  auto* account_label = new QLabel("&Account:");
  account_label->setBuddy(account_);
  auto* password_label = new QLabel("&Password:");
  password_label->setBuddy(password_);
  form->addRow(account_label, account_);
  form->addRow(password_label, password_);
  column->addLayout(form);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  ok->setObjectName("1");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("2");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  column->addWidget(buttons);
  ok->setEnabled(!account_->text().isEmpty());
  connect(account_, &QLineEdit::textChanged, ok,
          [ok](const QString& account) { ok->setEnabled(!account.isEmpty()); });
  (request.account.empty() ? account_ : password_)->setFocus();
}

platform::Credentials CredentialDialog::TakeCredentials() {
  platform::Credentials credentials{account_->text().toStdString(),
                                    password_->text().toStdString()};
  password_->clear();
  return credentials;
}

}  // namespace tessary::gui
