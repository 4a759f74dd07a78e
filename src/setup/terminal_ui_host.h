#pragma once
// setup's host on a terminal: messages go to standard error; questions are asked at the
// terminal when standard input is one, and otherwise take the first button, as pressing Enter
// would.

#include "platform/ui/ui_host.h"

namespace tessary::setup {

class TerminalUiHost : public platform::UiHost {
 public:
  int ShowMessageBox(const platform::Window* owner, const std::string& caption,
                     const std::string& text, unsigned type) override;
  std::optional<std::string> ChooseOpenFile(const platform::FileDialogRequest& request) override;
  std::optional<std::string> ChooseSaveFile(const platform::FileDialogRequest& request) override;
  std::optional<std::string> ChooseFolder(const std::string& title,
                                          const std::string& initial_folder) override;
  std::string ApplicationTitle() const override { return "Setup"; }

 private:
  std::optional<std::string> AskPath(const std::string& title, const std::string& initial);
};

}  // namespace tessary::setup
