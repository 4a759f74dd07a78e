// The registry step of an install: the Exchange client extension, the maker's App Paths,
// uninstall and user keys, then the script's own keys and values, each logged as written.
#include <cstdlib>

#include "setup/removal_bounds.h"
#include "setup/setup_dlg.h"
#include "setup/setup_log.h"
#include "setup/text.h"
#include "support/bvk_registry.h"

namespace tessary::setup {
namespace {

constexpr char kCurrentVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char kExtensionsKey[] = "Software\\Microsoft\\Exchange\\Client\\Extensions";
// KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_ENUMERATE_SUB_KEYS | READ_CONTROL.
constexpr std::uint32_t kReadAndSet = 0x2001B;

HKEY RootOf(int hive) {
  if (hive == kHiveLocalMachine) return HKEY_LOCAL_MACHINE;
  if (hive == kHiveClassesRoot) return HKEY_CLASSES_ROOT;
  return HKEY_CURRENT_USER;
}

// The shallowest key on the way to path that is missing and that a removal may delete (two
// levels or more below the root), as a log entry's "parent$$$name"; empty when none is missing.
// Deleting that key later takes away exactly what creating path adds.
std::string FirstMissingKey(HKEY root, const std::string& path) {
  CBVKRegistry registry;
  for (std::size_t end = path.find('\\');; end = path.find('\\', end + 1)) {
    const std::string key = path.substr(0, end);
    const std::size_t split = key.find_last_of('\\');
    if (split != std::string::npos && IsRemovableKey(key.substr(0, split), key.substr(split + 1)) &&
        !registry.OpenKey(root, key, KEY_READ, CBVKRegistry::Create::No)) {
      return key.substr(0, split) + "$$$" + key.substr(split + 1);
    }
    if (end == std::string::npos) return {};
  }
}

}  // namespace

bool CSetupDlg::WriteRegistry() {
  CBVKRegistry registry;
  auto fail = [&registry] {
    ShowSetupError(registry.Error());
    return false;
  };
  if (!script_.components.empty()) {
    if (!registry.OpenKey(HKEY_LOCAL_MACHINE, kExtensionsKey, kReadAndSet,
                          CBVKRegistry::Create::No)) {
      return fail();
    }
    for (const FileEntry& entry : script_.files) {
      if (entry.source_name != "ExtMain.dll") continue;
      const std::string value = "4.0;" + install_folder_ + "ExtMain.dll;1;011000110001000;";
      if (!registry.WriteString("Brenvik", value)) return fail();
      if (!Log(std::string(kLogRegistryValue) + "LM$$$" + kExtensionsKey + "$$$Brenvik") ||
          !Log(kLogInfo + value)) {
        return false;
      }
      break;
    }
  }
  const std::string app_paths = std::string(kCurrentVersion) + "\\App Paths";
  if (!registry.OpenKey(HKEY_LOCAL_MACHINE, app_paths + "\\Brenvik", kReadAndSet) ||
      !registry.WriteString("Path", install_folder_)) {
    return fail();
  }
  if (!Log(kLogRegistryKey + ("LM$$$" + app_paths) + "$$$Brenvik") ||
      !Log(std::string(kLogInfo) + "Path : " + install_folder_)) {
    return false;
  }
  const std::string uninstall = std::string(kCurrentVersion) + "\\Uninstall";
  if (!registry.OpenKey(HKEY_LOCAL_MACHINE, uninstall + "\\Brenvik", kReadAndSet) ||
      !registry.WriteString("DisplayName", "Brenvik Software") ||
      !registry.WriteString("UninstallString", install_folder_ + "Uninst.exe")) {
    return fail();
  }
  if (!Log(kLogRegistryKey + ("LM$$$" + uninstall) + "$$$Brenvik") ||
      !Log(std::string(kLogInfo) + "DisplayName : Brenvik Software") ||
      !Log(std::string(kLogInfo) + "UninstallString : " + install_folder_ + "Uninst.exe")) {
    return false;
  }
  if (!registry.OpenKey(HKEY_CURRENT_USER, "Software\\Brenvik", KEY_ALL_ACCESS)) return fail();
  if (!Log(std::string(kLogRegistryKey) + "CU$$$Software$$$Brenvik")) return false;

  for (const RegistryEntry& entry : script_.registry) {
    const std::string code = HiveCode(entry.hive);
    if (entry.key_path.empty() || code.empty()) continue;
    const std::string logged = code + "$$$" + entry.key_path + "$$$" + entry.name;
    if (entry.kind == RegistryEntry::kKey) {
      // Only a key this install creates is logged: removing a key that was there before would
      // take other programs' values with it.
      const std::string path = entry.key_path + "\\" + entry.name;
      const std::string created = FirstMissingKey(RootOf(entry.hive), path);
      if (!registry.OpenKey(RootOf(entry.hive), path)) return fail();
      if (!created.empty() && !Log(kLogRegistryKey + code + "$$$" + created)) return false;
      continue;
    }
    if (!registry.OpenKey(RootOf(entry.hive), entry.key_path)) return fail();
    bool written = false;
    if (entry.value.compare(0, 6, "dword:") == 0) {
      const std::uint32_t number =
          static_cast<std::uint32_t>(std::strtoul(entry.value.c_str() + 6, nullptr, 10));
      written = registry.WriteDWORD(entry.name, number);
    } else {
      std::string text = entry.value;
      ReplaceAll(&text, "%PF%", install_folder_);
      written = registry.WriteString(entry.name, text);
    }
    if (!written) return fail();
    if (!Log(kLogRegistryValue + logged)) return false;
  }
  return true;
}

}  // namespace tessary::setup
