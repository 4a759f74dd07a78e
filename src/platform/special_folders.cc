#include "platform/special_folders.h"

#include <unistd.h>

#include <cstdlib>

#include "platform/machine_paths.h"

namespace tessary::platform {
namespace {

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

// A folder can be used when it, or the nearest folder above it that exists, may be written.
bool Writable(std::string folder) {
  while (!folder.empty()) {
    if (access(folder.c_str(), F_OK) == 0) return access(folder.c_str(), W_OK) == 0;
    while (!folder.empty() && folder.back() == '/') folder.pop_back();
    std::size_t slash = folder.rfind('/');
    folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
  }
  return false;
}

}  // namespace

std::string WindowsFolder() { return MachinePath("/var/lib/brenvik/windows/").string(); }

std::string SystemFolder() { return WindowsFolder() + "system32/"; }

std::string TemporaryFolder() {
  std::string folder = Environment("TMPDIR");
  return WithSlash(folder.empty() ? "/tmp" : folder);
}

std::optional<std::string> MakePrivateTemporaryFolder(const std::string& prefix) {
  std::string pattern = TemporaryFolder() + prefix + "XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) return std::nullopt;
  return pattern + "/";
}

std::string NetworkShareFolder(const std::string& server, const std::string& rest) {
  std::string path = MachinePath("/net/" + server).string();
  if (!rest.empty()) path += "/" + rest;
  return path;
}

std::optional<std::string> ProgramsFolder(ProgramsScope scope) {
  if (scope == ProgramsScope::kAllUsers) {
    std::string folder = MachinePath("/usr/local/share/applications/").string();
    if (!Writable(folder)) return std::nullopt;
    return folder;
  }
  const std::string data = UserDataHome().string();
  if (data.empty()) return std::nullopt;
  return WithSlash(data) + "applications/";
}

}  // namespace tessary::platform
