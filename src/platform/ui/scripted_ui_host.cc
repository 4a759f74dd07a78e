#include "platform/ui/scripted_ui_host.h"

#include <utility>

namespace tessary::platform {
namespace {

std::optional<std::string> TakeFront(std::deque<std::optional<std::string>>* queue) {
  if (queue->empty()) return std::nullopt;
  std::optional<std::string> answer = std::move(queue->front());
  queue->pop_front();
  return answer;
}

}  // namespace

ScriptedUiHost::ScriptedUiHost(std::string application_title)
    : application_title_(std::move(application_title)) {}

int ScriptedUiHost::ShowMessageBox(const Window* owner, const std::string& caption,
                                   const std::string& text, unsigned type) {
  messages_.push_back({owner ? owner->title : std::string(), caption, text, type});
  if (answers_.empty()) return FirstButton(type);
  int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

std::optional<std::string> ScriptedUiHost::ChooseOpenFile(const FileDialogRequest& request) {
  file_requests_.push_back(request);
  return TakeFront(&open_files_);
}

std::optional<std::string> ScriptedUiHost::ChooseSaveFile(const FileDialogRequest& request) {
  file_requests_.push_back(request);
  return TakeFront(&save_files_);
}

std::optional<std::string> ScriptedUiHost::ChooseFolder(const std::string& title,
                                                        const std::string&) {
  folder_titles_.push_back(title);
  return TakeFront(&folders_);
}

int ScriptedUiHost::RunModalDialog(DialogModel& model, const Window*) {
  dialogs_shown_.push_back(model.Template().id);
  ScriptedDialogWindow window(model, nullptr);
  model.OnInitDialog(window);
  if (!window.Ended() && !dialog_scripts_.empty()) {
    DialogScript script = std::move(dialog_scripts_.front());
    dialog_scripts_.pop_front();
    DialogDriver driver(window, problems_);
    script(driver);
  }
  if (!window.Ended()) model.OnButton(kIdCancel);
  if (!window.Ended()) window.EndModal(kIdCancel);
  return window.Result();
}

std::optional<Credentials> ScriptedUiHost::AskCredentials(const CredentialRequest& request) {
  credential_requests_.push_back(request);
  if (credentials_.empty()) return std::nullopt;
  std::optional<Credentials> answer = std::move(credentials_.front());
  credentials_.pop_front();
  return answer;
}

}  // namespace tessary::platform
