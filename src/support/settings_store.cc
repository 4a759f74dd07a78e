#include "support/settings_store.h"

#include <cstdint>
#include <filesystem>
#include <system_error>

#include "support/bvk_file_util.h"

namespace tessary {

void ReadSettingFlag(CBVKRegistry& registry, const char* name, bool* flag) {
  std::uint32_t value = 0;
  if (registry.ReadDWORD(name, &value, 0)) *flag = value != 0;
}

void ReadSettingText(CBVKRegistry& registry, const char* name, std::string* text) {
  std::string value;
  if (registry.ReadString(name, &value, {})) *text = value;
}

std::string CurrentFolder() {
  std::error_code error;
  const std::string folder = std::filesystem::current_path(error).string();
  return error ? std::string() : CBVKFileUtil::AddTrailingSlash(folder);
}

}  // namespace tessary
