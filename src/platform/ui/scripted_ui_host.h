#pragma once
// A UiHost for tests: answers from queues and records every message box it was asked to show.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/scripted_dialog.h"
#include "platform/ui/ui_host.h"

namespace tessary::platform {

class ScriptedUiHost : public UiHost {
 public:
  struct ShownMessage {
    std::string owner_title;  // empty when there was no owner
    std::string caption;
    std::string text;
    unsigned type = 0;
  };

  explicit ScriptedUiHost(std::string application_title = "Tessary");

  // Queued answers, used in order. An empty message-box queue answers with the box's first
  // button; an empty picker queue cancels (std::nullopt may be queued to cancel explicitly).
  void QueueAnswer(int button) { answers_.push_back(button); }
  void QueueOpenFile(std::optional<std::string> path) { open_files_.push_back(std::move(path)); }
  void QueueSaveFile(std::optional<std::string> path) { save_files_.push_back(std::move(path)); }
  void QueueFolder(std::optional<std::string> path) { folders_.push_back(std::move(path)); }
  // The script of the next modal dialog. It runs once the dialog is initialised; a dialog still
  // open when its script returns (or shown with no script queued) is cancelled as with its
  // close box, and, should it refuse, ended with IDCANCEL.
  void QueueDialog(DialogScript script) { dialog_scripts_.push_back(std::move(script)); }
  // An empty queue cancels.
  void QueueCredentials(std::optional<Credentials> credentials) {
    credentials_.push_back(std::move(credentials));
  }
  const std::vector<CredentialRequest>& CredentialRequests() const { return credential_requests_; }

  const std::vector<ShownMessage>& Messages() const { return messages_; }
  const std::vector<FileDialogRequest>& FileRequests() const { return file_requests_; }
  const std::vector<std::string>& FolderTitles() const { return folder_titles_; }
  // Template ids of the modal dialogs shown, in order.
  const std::vector<int>& DialogsShown() const { return dialogs_shown_; }
  // What the scripts tried that a person could not have done; empty in a good run.
  const std::vector<std::string>& Problems() const { return problems_; }

  int ShowMessageBox(const Window* owner, const std::string& caption, const std::string& text,
                     unsigned type) override;
  std::optional<std::string> ChooseOpenFile(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseSaveFile(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFolder(const std::string& title,
                                          const std::string& initial_folder) override;
  std::string ApplicationTitle() const override { return application_title_; }
  int RunModalDialog(DialogModel& model, const Window* parent) override;
  std::optional<Credentials> AskCredentials(const CredentialRequest& request) override;

 private:
  std::string application_title_;
  std::deque<int> answers_;
  std::deque<std::optional<std::string>> open_files_;
  std::deque<std::optional<std::string>> save_files_;
  std::deque<std::optional<std::string>> folders_;
  std::vector<ShownMessage> messages_;
  std::vector<FileDialogRequest> file_requests_;
  std::vector<std::string> folder_titles_;
  std::deque<DialogScript> dialog_scripts_;
  std::vector<int> dialogs_shown_;
  std::vector<std::string> problems_;
  std::deque<std::optional<Credentials>> credentials_;
  std::vector<CredentialRequest> credential_requests_;
};

// The first button of a message box type: what a person pressing Enter would choose.
int FirstButton(unsigned type);

}  // namespace tessary::platform
