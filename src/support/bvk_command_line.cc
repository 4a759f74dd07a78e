#include "support/bvk_command_line.h"

#include <cstdlib>
#include <string_view>

namespace tessary::command_line {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::size_t SkipBlanks(const std::string& line, std::size_t at) {
  while (at < line.size() && IsBlank(line[at])) ++at;
  return at;
}

// Reads one argument from `at`, which must not be a blank; returns the position after it.
std::size_t ReadArgument(const std::string& line, std::size_t at, std::string* argument) {
  bool quoted = false;
  while (at < line.size() && (quoted || !IsBlank(line[at]))) {
    if (line[at] == '\\') {
      std::size_t backslashes = 0;
      while (at < line.size() && line[at] == '\\') {
        ++backslashes;
        ++at;
      }
      if (at < line.size() && line[at] == '"') {
        argument->append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) {
          *argument += '"';
          ++at;
        }
      } else {
        argument->append(backslashes, '\\');
      }
    } else if (line[at] == '"') {
      // Inside quotes a doubled quote stands for one quote character.
      if (quoted && at + 1 < line.size() && line[at + 1] == '"') {
        *argument += '"';
        at += 2;
      } else {
        quoted = !quoted;
        ++at;
      }
    } else {
      *argument += line[at++];
    }
  }
  return at;
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool IsNotepad(const std::string& program) {
  std::size_t slash = program.find_last_of('/');
  std::string name = Lower(slash == std::string::npos ? program : program.substr(slash + 1));
  return name == "notepad.exe" || name == "notepad";
}

// Notepad opens the whole rest of its command line as one file name, quoted or not.
std::string NotepadFile(const std::string& rest) {
  std::size_t begin = SkipBlanks(rest, 0);
  std::size_t end = rest.size();
  while (end > begin && IsBlank(rest[end - 1])) --end;
  std::string file = rest.substr(begin, end - begin);
  if (file.size() >= 2 && file.front() == '"' && file.back() == '"') {
    file = file.substr(1, file.size() - 2);
  }
  return file;
}

}  // namespace

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> arguments;
  std::size_t at = SkipBlanks(line, 0);
  while (at < line.size()) {
    std::string argument;
    at = SkipBlanks(line, ReadArgument(line, at, &argument));
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

RunCommand ForRun(const std::string& folder, const std::string& program,
                  const std::string& arguments) {
  std::string executable;
  std::string rest;
  if (!folder.empty() || !program.empty()) {
    executable = folder;
    if (!executable.empty() && executable.back() != '/') executable += '/';
    executable += program;
    rest = arguments;
  } else {
    std::size_t at = SkipBlanks(arguments, 0);
    if (at == arguments.size()) return {};
    at = ReadArgument(arguments, at, &executable);
    rest = arguments.substr(at);
  }
  if (executable.empty()) return {};
  if (IsNotepad(executable)) return {EditorCommand(NotepadFile(rest)), true};
  RunCommand command{{executable}, false};
  for (std::string& argument : Split(rest)) command.argv.push_back(std::move(argument));
  return command;
}

std::vector<std::string> EditorCommand(const std::string& file) {
  std::vector<std::string> argv;
  if (Environment("DISPLAY").empty() && Environment("WAYLAND_DISPLAY").empty()) {
    std::string editor = Environment("VISUAL");
    if (editor.empty()) editor = Environment("EDITOR");
    argv = Split(editor);
  }
  if (argv.empty()) argv.push_back("xdg-open");
  if (!file.empty()) argv.push_back(file);
  return argv;
}

std::vector<std::string> ForRegisteredCommand(const std::string& command,
                                              const std::string& target) {
  std::vector<std::string> argv = Split(command);
  bool placed = false;
  for (std::string& argument : argv) {
    for (std::string_view marker : {"%1", "%L", "%l"}) {
      // Search on after each replacement: the target may itself hold a marker.
      for (std::size_t at = argument.find(marker); at != std::string::npos;
           at = argument.find(marker, at + target.size())) {
        argument.replace(at, marker.size(), target);
        placed = true;
      }
    }
  }
  if (!placed && !argv.empty()) argv.push_back(target);
  return argv;
}

}  // namespace tessary::command_line
