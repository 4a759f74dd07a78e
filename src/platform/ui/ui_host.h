#pragma once
// What the programs show a person goes through one UiHost: the Qt host under a display, the
// terminal host on the command line, the scripted host in tests. Nothing above the platform layer
// talks to a toolkit or a terminal directly.

#include <optional>
#include <string>
#include <vector>

#include "platform/ui/dialog_host.h"

namespace tessary::platform {

// Message box types and answers keep the Windows numbers: callers store and compare them.
enum MessageBoxType : unsigned {
  kMbOk = 0x0,
  kMbOkCancel = 0x1,
  kMbAbortRetryIgnore = 0x2,
  kMbYesNoCancel = 0x3,
  kMbYesNo = 0x4,
  kMbRetryCancel = 0x5,
  kMbIconStop = 0x10,
  kMbIconQuestion = 0x20,
  kMbIconExclamation = 0x30,
  kMbIconInformation = 0x40,
  kMbDefButton2 = 0x100,  // the second button answers an empty reply
};

enum DialogResult : int {
  kIdOk = 1,
  kIdCancel = 2,
  kIdAbort = 3,
  kIdRetry = 4,
  kIdIgnore = 5,
  kIdYes = 6,
  kIdNo = 7,
};

// A window that owns message boxes; its title becomes their caption.
struct Window {
  std::string title;
};

struct FileDialogRequest {
  std::string title;
  std::string initial_path;          // folder or file the dialog starts at
  std::string default_extension;     // without the dot
  std::vector<std::string> filters;  // "Text Files (*.csv)|*.csv" style pairs
};

// A server asks for an account and password: the account shown to start with, and where.
struct CredentialRequest {
  std::string server;   // its address, as the user configured it
  std::string account;  // the account to start with; may be empty
};

struct Credentials {
  std::string account;
  std::string password;
};

class UiHost {
 public:
  virtual ~UiHost() = default;

  // Shows a modal message box and returns the button pressed (DialogResult).
  virtual int ShowMessageBox(const Window* owner, const std::string& caption,
                             const std::string& text, unsigned type) = 0;
  // Returns the chosen path, or nothing when the user cancelled.
  virtual std::optional<std::string> ChooseOpenFile(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> ChooseSaveFile(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> ChooseFolder(const std::string& title,
                                                  const std::string& initial_folder) = 0;
  // The application's title, used when a message box has no owner or caption.
  virtual std::string ApplicationTitle() const = 0;
  // Shows the dialog model modally (owned by parent when given) until its window's EndModal,
  // and returns EndModal's result; -1 when this host cannot show dialogs (no display).
  virtual int RunModalDialog(DialogModel& model, const Window* parent);
  // Asks for the account and password of a bind; nothing when the person cancelled or nobody
  // can be asked (the default). The answer is kept in memory only, never written anywhere.
  virtual std::optional<Credentials> AskCredentials(const CredentialRequest&) {
    return std::nullopt;
  }
};

// The host of this process. Until one is installed, a host that writes messages to standard
// error and answers every question with its first button (OK, Abort, Yes, Retry) is in force.
UiHost& CurrentUiHost();
// Installs a host for the process (nullptr restores the default); the caller keeps ownership.
void SetUiHost(UiHost* host);

}  // namespace tessary::platform
