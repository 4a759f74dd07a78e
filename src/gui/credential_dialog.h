#pragma once
// Asks for the account and password of a directory bind. The password field never echoes, and
// its text is cleared as soon as it has been read: the answer lives in the caller's memory only.

#include <QDialog>
#include <optional>

#include "platform/ui/ui_host.h"

class QLineEdit;

namespace tessary::gui {

class CredentialDialog : public QDialog {
 public:
  CredentialDialog(QWidget* parent, const std::string& caption,
                   const platform::CredentialRequest& request);

  // The answer once accepted; the dialog's password field is empty afterwards.
  platform::Credentials TakeCredentials();

 private:
  QLineEdit* account_;
  QLineEdit* password_;
};

}  // namespace tessary::gui
