#pragma once
// setup's host on a terminal: messages go to standard error; questions are asked at the
// terminal when standard input and standard error are one and the run is attended. An
// unattended run (-silent and its kin) answers every question itself, with the answer that can
// never repeat itself: Cancel for Retry/Cancel, else the first button (Abort, OK, Yes), as
// pressing Enter would. An attended run without a terminal cannot ask: it says so once and
// answers every question as Cancel would, so the run ends instead of looping on a page.

#include "platform/ui/ui_host.h"

namespace tessary::setup {

class TerminalUiHost : public platform::UiHost {
 public:
  static constexpr char kNoTerminal[] =
      "Setup needs a terminal or -silent: this question cannot be answered here, so setup ends "
      "as if it had been cancelled.";

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
  // Says once per run that questions cannot be asked.
  void ReportNoTerminal();

  bool unattended_ = false;
  bool reported_no_terminal_ = false;
};

}  // namespace tessary::setup
