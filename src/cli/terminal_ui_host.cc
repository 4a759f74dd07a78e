#include "cli/terminal_ui_host.h"

#include "platform/ui/scripted_ui_host.h"

namespace tessary::cli {

int TerminalAnswer(unsigned type) {
  if ((type & 0xF) == platform::kMbRetryCancel) return platform::kIdCancel;
  return platform::FirstButton(type);
}

int TerminalUiHost::ShowMessageBox(const platform::Window*, const std::string&,
                                   const std::string& text, unsigned type) {
  std::lock_guard lock(mutex_);
  err_ << text << "\n";
  err_.flush();
  return TerminalAnswer(type);
}

}  // namespace tessary::cli
