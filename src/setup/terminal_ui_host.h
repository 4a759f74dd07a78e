#pragma once
// setup's host on a terminal: messages go to standard error; questions are asked at the
// terminal when standard input is one and the run is attended. Otherwise a question takes the
// answer that can never repeat itself: Cancel for Retry/Cancel, else the first button (Abort,
// OK, Yes), as pressing Enter would.

#include "platform/ui/ui_host.h"

namespace tessary::setup {

class TerminalUiHost : public platform::UiHost {
 public:
  // An unattended host never waits for an answer, even at a terminal.
  void SetUnattended(bool unattended) { unattended_ = unattended; }

  int ShowMessageBox(const platform::Window* owner, const std::string& caption,
                     const std::string& text, unsigned type) override;
  std::optional<std::string> ChooseOpenFile(const platform::FileDialogRequest& request) override;
  std::optional<std::string> ChooseSaveFile(const platform::FileDialogRequest& request) override;
  std::optional<std::string> ChooseFolder(const std::string& title,
                                          const std::string& initial_folder) override;
  std::string ApplicationTitle() const override { return "Setup"; }

 private:
  std::optional<std::string> AskPath(const std::string& title, const std::string& initial);
  bool Attended() const;

  bool unattended_ = false;
};

}  // namespace tessary::setup
