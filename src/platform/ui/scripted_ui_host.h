#pragma once
// A UiHost for tests: answers from queues and records every message box it was asked to show.

#include <deque>
#include <optional>
#include <string>
#include <vector>

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

  const std::vector<ShownMessage>& Messages() const { return messages_; }
  const std::vector<FileDialogRequest>& FileRequests() const { return file_requests_; }
  const std::vector<std::string>& FolderTitles() const { return folder_titles_; }

  int ShowMessageBox(const Window* owner, const std::string& caption, const std::string& text,
                     unsigned type) override;
  std::optional<std::string> ChooseOpenFile(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseSaveFile(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFolder(const std::string& title,
                                          const std::string& initial_folder) override;
  std::string ApplicationTitle() const override { return application_title_; }

 private:
  std::string application_title_;
  std::deque<int> answers_;
  std::deque<std::optional<std::string>> open_files_;
  std::deque<std::optional<std::string>> save_files_;
  std::deque<std::optional<std::string>> folders_;
  std::vector<ShownMessage> messages_;
  std::vector<FileDialogRequest> file_requests_;
  std::vector<std::string> folder_titles_;
};

// The first button of a message box type: what a person pressing Enter would choose.
int FirstButton(unsigned type);

}  // namespace tessary::platform
