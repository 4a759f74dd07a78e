#include "platform/program_folder.h"

#include <filesystem>
#include <vector>

#include "platform/machine_paths.h"
#include "platform/registry.h"

namespace tessary::platform {
namespace {

// The text of a REG_SZ value without its terminating zero; empty when there is none.
std::string RecordedProgramFolder() {
  RegKey key;
  if (RegOpenKey(HKEY_LOCAL_MACHINE,
                 "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Brenvik", KEY_READ,
                 &key) != 0)
    return {};
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  if (RegQueryValue(key, "Path", &type, &data) != 0 || type != REG_SZ) return {};
  std::string text(data.begin(), data.end());
  return text.substr(0, text.find('\0'));
}

}  // namespace

std::string ProgramFolder() {
  std::string folder = RecordedProgramFolder();
  if (folder.empty()) {
    std::filesystem::path fallback = UserDataHome() / "brenvik";
    std::error_code ignored;  // reported by the first file operation in the folder
    std::filesystem::create_directories(fallback, ignored);
    folder = fallback.string();
  }
  if (folder.back() != '/') folder += '/';
  return folder;
}

std::string InstalledDataFolder() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || !program.has_parent_path()) return {};
  return (program.parent_path().parent_path() / "share" / "tessary").string() + "/";
}

}  // namespace tessary::platform
