#include "platform/machine_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace tessary::platform {
namespace {

// The variable's value when it is set to an absolute path (the XDG rule: relative ones are
// ignored).
const char* AbsoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  return value && value[0] == '/' ? value : nullptr;
}

std::filesystem::path HomeFolder() {
  if (const char* home = AbsoluteVariable("HOME")) return home;
  if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return "/";
}

}  // namespace

std::filesystem::path MachineRoot() {
  const char* root = std::getenv("BRENVIK_ROOT");
  return root && *root ? std::filesystem::path(root) : std::filesystem::path("/");
}

std::filesystem::path MachinePath(const std::filesystem::path& absolute) {
  return MachineRoot() / absolute.relative_path();
}

std::filesystem::path UserConfigHome() {
  if (const char* config = AbsoluteVariable("XDG_CONFIG_HOME")) return config;
  return HomeFolder() / ".config";
}

std::filesystem::path UserDataHome() {
  if (const char* data = AbsoluteVariable("XDG_DATA_HOME")) return data;
  return HomeFolder() / ".local/share";
}

}  // namespace tessary::platform
