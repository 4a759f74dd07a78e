#include "gui/qt_ui_host.h"

#include <QApplication>

#include "gui/credential_dialog.h"
#include "gui/file_dialog.h"
#include "gui/folder_browser.h"
#include "gui/gui_thread.h"
#include "gui/message_box.h"
#include "gui/template_window.h"

namespace tessary::gui {

QtUiHost::QtUiHost(std::string application_title, WindowRegistry& windows)
    : application_title_(std::move(application_title)), windows_(windows) {}

QWidget* QtUiHost::Owner(const platform::Window* owner) const {
  QWidget* widget = windows_.WidgetOf(owner);
  if (!widget) widget = QApplication::activeModalWidget();
  return widget;
}

std::optional<int> QtUiHost::TakeAnswer() {
  std::lock_guard lock(mutex_);
  if (answers_.empty()) return std::nullopt;
  const int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

bool QtUiHost::TakePath(std::optional<std::string>* path) {
  std::lock_guard lock(mutex_);
  if (paths_.empty()) return false;
  *path = std::move(paths_.front());
  paths_.pop_front();
  return true;
}

void QtUiHost::QueueAnswer(int answer) {
  std::lock_guard lock(mutex_);
  answers_.push_back(answer);
}

void QtUiHost::QueuePath(std::optional<std::string> path) {
  std::lock_guard lock(mutex_);
  paths_.push_back(std::move(path));
}

std::vector<QtUiHost::ShownBox> QtUiHost::Boxes() const {
  std::lock_guard lock(mutex_);
  return boxes_;
}

int QtUiHost::ShowMessageBox(const platform::Window* owner, const std::string& caption,
                             const std::string& text, unsigned type) {
  std::string title = caption;
  if (title.empty() && owner) title = owner->title;
  if (title.empty()) title = application_title_;
  {
    std::lock_guard lock(mutex_);
    boxes_.push_back({title, text, type});
  }
  int answer = 0;
  RunOnGuiThread([&] {
    std::unique_ptr<QMessageBox> box = BuildMessageBox(Owner(owner), title, text, type);
    if (std::optional<int> queued = TakeAnswer()) {
      answer = *queued;
      return;
    }
    box->exec();
    answer = AnswerOf(*box, type);
  });
  return answer;
}

std::optional<std::string> QtUiHost::ChooseFile(const platform::FileDialogRequest& request,
                                                bool save) {
  std::optional<std::string> chosen;
  if (TakePath(&chosen)) return chosen;
  RunOnGuiThread([&] {
    std::unique_ptr<QFileDialog> dialog = BuildFileDialog(
        Owner(nullptr), request, save ? FileDialogKind::kSave : FileDialogKind::kOpen);
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty()) {
      chosen = dialog->selectedFiles().front().toStdString();
    }
  });
  return chosen;
}

std::optional<std::string> QtUiHost::ChooseOpenFile(const platform::FileDialogRequest& request) {
  return ChooseFile(request, false);
}

std::optional<std::string> QtUiHost::ChooseSaveFile(const platform::FileDialogRequest& request) {
  return ChooseFile(request, true);
}

std::optional<std::string> QtUiHost::ChooseFolder(const std::string& title,
                                                  const std::string& initial_folder) {
  std::optional<std::string> chosen;
  if (TakePath(&chosen)) return chosen;
  RunOnGuiThread([&] {
    FolderBrowser browser(Owner(nullptr), title, initial_folder);
    if (browser.exec() == QDialog::Accepted) chosen = browser.Folder();
  });
  return chosen;
}

int QtUiHost::RunModalDialog(platform::DialogModel& model, const platform::Window* parent) {
  int result = -1;
  RunOnGuiThread([&] {
    TemplateWindow window(model, Owner(parent), TemplateWindow::Kind::kTopLevel);
    model.OnInitDialog(window);
    result = window.exec();
  });
  return result;
}

std::optional<platform::Credentials> QtUiHost::AskCredentials(
    const platform::CredentialRequest& request) {
  std::optional<platform::Credentials> credentials;
  RunOnGuiThread([&] {
    CredentialDialog dialog(Owner(nullptr), application_title_, request);
    if (dialog.exec() == QDialog::Accepted) credentials = dialog.TakeCredentials();
  });
  return credentials;
}

}  // namespace tessary::gui
