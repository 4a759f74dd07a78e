#pragma once
// The UiHost on Qt Widgets: message boxes, the open and save dialogs and the folder browser,
// each shown modally on the user-interface thread whichever thread asks, and owned by the
// widget of its owner window. Tests queue answers so that nothing waits for a person.

#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "gui/window_registry.h"
#include "platform/ui/ui_host.h"

namespace tessary::gui {

class QtUiHost : public platform::UiHost {
 public:
  struct ShownBox {
    std::string caption;
    std::string text;
    unsigned type = 0;
  };

  QtUiHost(std::string application_title, WindowRegistry& windows);

  int ShowMessageBox(const platform::Window* owner, const std::string& caption,
                     const std::string& text, unsigned type) override;
  std::optional<std::string> ChooseOpenFile(const platform::FileDialogRequest& request) override;
  std::optional<std::string> ChooseSaveFile(const platform::FileDialogRequest& request) override;
  std::optional<std::string> ChooseFolder(const std::string& title,
                                          const std::string& initial_folder) override;
  std::string ApplicationTitle() const override { return application_title_; }
  // The model's window rendered from its template, modal until the model ends it.
  int RunModalDialog(platform::DialogModel& model, const platform::Window* parent) override;
  std::optional<platform::Credentials> AskCredentials(
      const platform::CredentialRequest& request) override;

  WindowRegistry& Windows() { return windows_; }

  // The next message box is built but not shown, and answers this.
  void QueueAnswer(int answer);
  // The next picker is not shown and returns this (nothing: cancelled).
  void QueuePath(std::optional<std::string> path);
  // Every message box built so far, shown or answered from the queue.
  std::vector<ShownBox> Boxes() const;

 private:
  std::optional<std::string> ChooseFile(const platform::FileDialogRequest& request, bool save);
  std::optional<int> TakeAnswer();
  bool TakePath(std::optional<std::string>* path);
  QWidget* Owner(const platform::Window* owner) const;

  std::string application_title_;
  WindowRegistry& windows_;
  mutable std::mutex mutex_;
  std::deque<int> answers_;
  std::deque<std::optional<std::string>> paths_;
  std::vector<ShownBox> boxes_;
};

}  // namespace tessary::gui
