#pragma once
// Command lines as the programs' callers write them (one text, in the Windows manner) turned into
// the argument vectors a process is started with. Nothing here goes through a shell.

#include <string>
#include <vector>

namespace tessary::command_line {

// Splits a command line as Windows programs split theirs: blanks and tabs separate arguments,
// double quotes group blanks into one argument, and backslashes are literal except before a
// double quote (2n backslashes and a quote: n backslashes; 2n+1: n backslashes and a quote).
std::vector<std::string> Split(const std::string& line);

// What Run starts: the argument vector for folder + program with the arguments, or, when
// folder and program are both empty, for the program named first in the arguments. Notepad
// ("Notepad.exe" or "notepad", in any case and any folder) takes the whole rest of its command
// line as the one file to open and becomes EditorCommand, which runs wherever the user is.
// argv is empty when no program is named.
struct RunCommand {
  std::vector<std::string> argv;
  bool editor = false;
};
RunCommand ForRun(const std::string& folder, const std::string& program,
                  const std::string& arguments);

// The program that shows a text file to the user: xdg-open under a display (DISPLAY or
// WAYLAND_DISPLAY set), else ${VISUAL:-${EDITOR:-xdg-open}}, followed by the file.
std::vector<std::string> EditorCommand(const std::string& file);

// A registered "shell\open\command" with its target: a "%1" or "%L" in an argument is replaced
// by the target; without one the target is appended as the last argument.
std::vector<std::string> ForRegisteredCommand(const std::string& command,
                                              const std::string& target);

}  // namespace tessary::command_line
