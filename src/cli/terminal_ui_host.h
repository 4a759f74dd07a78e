#pragma once
// The command line's UI host: every message box goes to the error stream as its text, and a
// question is answered without asking, as a script cannot: Retry/Cancel questions with Cancel
// (so a failing write is not retried for ever), every other question with its first button.
// File and folder pickers are never shown: every choice is an option.

#include <mutex>
#include <ostream>

#include "platform/ui/ui_host.h"

namespace tessary::cli {

class TerminalUiHost : public platform::UiHost {
 public:
  explicit TerminalUiHost(std::ostream& err) : err_(err) {}

  int ShowMessageBox(const platform::Window* owner, const std::string& caption,
                     const std::string& text, unsigned type) override;
  std::optional<std::string> ChooseOpenFile(const platform::FileDialogRequest&) override {
    return std::nullopt;
  }
  std::optional<std::string> ChooseSaveFile(const platform::FileDialogRequest&) override {
    return std::nullopt;
  }
  std::optional<std::string> ChooseFolder(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::string ApplicationTitle() const override { return "Tessary"; }

 private:
  std::mutex mutex_;  // message boxes may come from the work thread
  std::ostream& err_;
};

// The answer the command line gives to a message box of that type.
int TerminalAnswer(unsigned type);

}  // namespace tessary::cli
