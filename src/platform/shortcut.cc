#include "platform/shortcut.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>

#include "platform/system_error.h"

namespace tessary::platform {
namespace {

// A string value of a desktop entry: backslash and line ends escaped.
std::string EscapeValue(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '\\') {
      escaped += "\\\\";
    } else if (c == '\n') {
      escaped += "\\n";
    } else if (c == '\r') {
      escaped += "\\r";
    } else if (c == '\t') {
      escaped += "\\t";
    } else {
      escaped += c;
    }
  }
  return escaped;
}

// One argument of Exec, always quoted, with the characters quoting reserves escaped and "%"
// doubled so that no field code is read into a path.
std::string QuoteArgument(const std::string& argument) {
  std::string quoted = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  return quoted + "\"";
}

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string BaseName(const std::string& path) {
  std::string name = path.substr(path.find_last_of('/') + 1);
  std::size_t dot = name.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

}  // namespace

std::string DesktopEntryText(const std::string& target, const std::string& name,
                             const std::string& description) {
  std::string exec = QuoteArgument(target);
  if (!IsExecutableFile(target)) exec = "xdg-open " + exec;
  return "[Desktop Entry]\nType=Application\nName=" + EscapeValue(name) +
         "\nComment=" + EscapeValue(description) + "\nExec=" + EscapeValue(exec) + "\n";
}

std::uint32_t CreateDesktopShortcut(const std::string& target, const std::string& link_path,
                                    const std::string& description) {
  const std::string text = DesktopEntryText(target, BaseName(link_path), description);
  const std::string temporary = link_path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return Win32FromErrno(errno);
    out << text;
    out.close();
    if (!out) {
      std::remove(temporary.c_str());
      return kErrorDiskFull;
    }
  }
  if (std::rename(temporary.c_str(), link_path.c_str()) != 0) {
    const std::uint32_t error = Win32FromErrno(errno);
    std::remove(temporary.c_str());
    return error;
  }
  return 0;
}

}  // namespace tessary::platform
