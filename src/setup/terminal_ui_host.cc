#include "setup/terminal_ui_host.h"

#include <unistd.h>

#include <cctype>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

namespace tessary::setup {
namespace {

using namespace platform;

// The buttons of a message box type with the letter that answers each.
std::vector<std::pair<std::string, int>> Buttons(unsigned type) {
  switch (type & 0xF) {
    case kMbOkCancel:
      return {{"[o]k", kIdOk}, {"[c]ancel", kIdCancel}};
    case kMbAbortRetryIgnore:
      return {{"[a]bort", kIdAbort}, {"[r]etry", kIdRetry}, {"[i]gnore", kIdIgnore}};
    case kMbYesNoCancel:
      return {{"[y]es", kIdYes}, {"[n]o", kIdNo}, {"[c]ancel", kIdCancel}};
    case kMbYesNo:
      return {{"[y]es", kIdYes}, {"[n]o", kIdNo}};
    case kMbRetryCancel:
      return {{"[r]etry", kIdRetry}, {"[c]ancel", kIdCancel}};
    default:
      return {{"[o]k", kIdOk}};
  }
}

// The answer that gives up: Cancel where there is one, else No, else Abort.
int RefusingAnswer(unsigned type) {
  switch (type & 0xF) {
    case kMbYesNo:
      return kIdNo;
    case kMbAbortRetryIgnore:
      return kIdAbort;
    default:
      return kIdCancel;
  }
}

}  // namespace

bool TerminalUiHost::Attended() const {
  return !unattended_ && isatty(STDIN_FILENO) && isatty(STDERR_FILENO);
}

void TerminalUiHost::ReportNoTerminal() {
  if (reported_no_terminal_) return;
  reported_no_terminal_ = true;
  std::cerr << kNoTerminal << "\n";
}

int TerminalUiHost::ShowMessageBox(const Window* owner, const std::string& caption,
                                   const std::string& text, unsigned type) {
  std::cerr << (caption.empty() && owner ? owner->title : caption) << ": " << text << "\n";
  const auto buttons = Buttons(type);
  if (buttons.size() == 1) return buttons.front().second;
  if (unattended_) return (type & 0xF) == kMbRetryCancel ? kIdCancel : buttons.front().second;
  if (!Attended()) {
    ReportNoTerminal();
    return RefusingAnswer(type);
  }
  const auto& fallback = (type & kMbDefButton2) ? buttons[1] : buttons.front();
  for (;;) {
    for (const auto& button : buttons) std::cerr << button.first << " ";
    std::cerr << "(Enter: " << fallback.first << ") > " << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer)) return buttons.back().second;  // end of input: refuse
    if (answer.empty()) return fallback.second;
    for (const auto& button : buttons) {
      if (std::tolower(static_cast<unsigned char>(answer[0])) == button.first[1]) {
        return button.second;
      }
    }
  }
}

std::optional<std::string> TerminalUiHost::AskPath(const std::string& title,
                                                   const std::string& initial) {
  std::cerr << title << "\n";
  if (unattended_) return initial.empty() ? std::nullopt : std::optional<std::string>(initial);
  if (!Attended()) {
    ReportNoTerminal();
    return std::nullopt;
  }
  std::cerr << "[" << initial << "] (empty line keeps it, \".\" cancels) > " << std::flush;
  std::string answer;
  if (!std::getline(std::cin, answer) || answer == ".") return std::nullopt;
  return answer.empty() ? initial : answer;
}

std::optional<std::string> TerminalUiHost::ChooseOpenFile(const FileDialogRequest& request) {
  return AskPath(request.title, request.initial_path);
}

std::optional<std::string> TerminalUiHost::ChooseSaveFile(const FileDialogRequest& request) {
  return AskPath(request.title, request.initial_path);
}

std::optional<std::string> TerminalUiHost::ChooseFolder(const std::string& title,
                                                        const std::string& initial_folder) {
  return AskPath(title, initial_folder);
}

}  // namespace tessary::setup
