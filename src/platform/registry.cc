#include "platform/registry.h"

#include <algorithm>

#include "platform/hive_file.h"
#include "platform/machine_paths.h"
#include "platform/reg_file.h"
#include "platform/registry_seed.h"
#include "platform/system_error.h"

namespace tessary::platform {
namespace {

constexpr std::uint32_t kErrorInvalidHandle = 6;

const char* RootName(HKEY root) {
  if (root == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
  if (root == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
  if (root == HKEY_CLASSES_ROOT) return "HKEY_CLASSES_ROOT";
  return nullptr;
}

// The text form cannot carry line breaks in names.
bool IsValidName(const std::string& name) {
  return name.find_first_of("\r\n") == std::string::npos;
}

// A hive to read into; an unknown root gets one that ReadKey never fills.
RegHive EmptyHive(HKEY root) {
  const char* root_name = RootName(root);
  return RegHive(root_name ? root_name : "");
}

HiveSeed SeedFor(HKEY root) {
  return [root](RegHive* hive) { SeedHive(root, hive); };
}

std::uint32_t Read(HKEY root, RegHive* hive) {
  std::string problem;
  return ReadHiveFile(RegistryHivePath(root), SeedFor(root), hive, &problem);
}

std::uint32_t Update(HKEY root, RegHive* hive, const HiveChange& change) {
  std::string problem;
  return UpdateHiveFile(RegistryHivePath(root), SeedFor(root), change, hive, &problem);
}

// Reads the hive of an open key and finds the key in it (1018 when it was deleted).
std::uint32_t ReadKey(const RegKey& key, std::uint32_t needed_access, RegHive* hive,
                      const RegKeyData** data) {
  if (!RootName(key.root)) return kErrorInvalidHandle;
  if ((key.access & needed_access) != needed_access) return kErrorAccessDenied;
  if (std::uint32_t code = Read(key.root, hive)) return code;
  *data = hive->FindKey(key.path);
  return *data ? 0 : kErrorKeyDeleted;
}

// Applies a change to an open key under the hive's lock.
std::uint32_t UpdateKey(const RegKey& key, std::uint32_t needed_access,
                        const std::function<std::uint32_t(RegHive*, RegKeyData*)>& change) {
  const char* root_name = RootName(key.root);
  if (!root_name) return kErrorInvalidHandle;
  if ((key.access & needed_access) != needed_access) return kErrorAccessDenied;
  RegHive hive(root_name);
  return Update(key.root, &hive, [&](RegHive* updated, bool* changed) {
    RegKeyData* data = updated->FindKey(key.path);
    if (!data) return kErrorKeyDeleted;
    std::uint32_t code = change(updated, data);
    *changed = code == 0;
    return code;
  });
}

}  // namespace

std::filesystem::path RegistryHivePath(HKEY root) {
  if (root == HKEY_CURRENT_USER) return UserConfigHome() / "brenvik/user.reg";
  if (root == HKEY_LOCAL_MACHINE) return MachinePath("/var/lib/brenvik/machine.reg");
  if (root == HKEY_CLASSES_ROOT) return MachinePath("/var/lib/brenvik/classes.reg");
  return {};
}

std::uint32_t RegCreateKey(HKEY root, const std::string& sub_key, std::uint32_t access,
                           RegKey* key) {
  const char* root_name = RootName(root);
  if (!root_name) return kErrorInvalidHandle;
  if (!IsValidName(sub_key)) return kErrorInvalidParameter;
  std::string path = RegNormalizePath(sub_key);
  RegHive hive(root_name);
  if (std::uint32_t code = Read(root, &hive)) return code;
  if (const RegKeyData* found = hive.FindKey(path)) {
    *key = {root, found->path, access};
    return 0;
  }
  RegHive updated(root_name);
  std::uint32_t code = Update(root, &updated, [&](RegHive* target, bool* changed) {
    *changed = !target->FindKey(path);
    target->CreateKey(path);
    return 0u;
  });
  if (code) return code;
  *key = {root, updated.FindKey(path)->path, access};
  return 0;
}

std::uint32_t RegOpenKey(HKEY root, const std::string& sub_key, std::uint32_t access, RegKey* key) {
  const char* root_name = RootName(root);
  if (!root_name) return kErrorInvalidHandle;
  RegHive hive(root_name);
  if (std::uint32_t code = Read(root, &hive)) return code;
  const RegKeyData* found = hive.FindKey(sub_key);
  if (!found) return kErrorFileNotFoundInRegistry;
  *key = {root, found->path, access};
  return 0;
}

std::uint32_t RegQueryValue(const RegKey& key, const std::string& name, std::uint32_t* type,
                            std::uint8_t* data, std::uint32_t* size) {
  RegHive hive = EmptyHive(key.root);
  const RegKeyData* found = nullptr;
  if (std::uint32_t code = ReadKey(key, KEY_QUERY_VALUE, &hive, &found)) return code;
  const RegValueData* value = found->FindValue(name);
  if (!value) return kErrorFileNotFoundInRegistry;
  if (type) *type = value->type;
  auto needed = static_cast<std::uint32_t>(value->data.size());
  std::uint32_t available = *size;
  *size = needed;
  if (!data) return 0;
  if (available < needed) return kErrorMoreData;
  std::copy(value->data.begin(), value->data.end(), data);
  return 0;
}

std::uint32_t RegQueryValue(const RegKey& key, const std::string& name, std::uint32_t* type,
                            std::vector<std::uint8_t>* data) {
  std::uint32_t size = 0;
  if (std::uint32_t code = RegQueryValue(key, name, type, nullptr, &size)) return code;
  // The value may grow between the two reads; ask again until it fits.
  while (true) {
    data->resize(size);
    std::uint32_t code = RegQueryValue(key, name, type, data->data(), &size);
    if (code != kErrorMoreData) {
      data->resize(code == 0 ? size : 0);
      return code;
    }
  }
}

std::uint32_t RegSetValue(const RegKey& key, const std::string& name, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) {
  if (!IsValidName(name)) return kErrorInvalidParameter;
  std::vector<std::uint8_t> bytes(data, data + size);
  return UpdateKey(key, KEY_SET_VALUE, [&](RegHive*, RegKeyData* target) {
    target->SetValue(name, type, bytes);
    return 0u;
  });
}

std::uint32_t RegDeleteValue(const RegKey& key, const std::string& name) {
  return UpdateKey(key, KEY_SET_VALUE, [&](RegHive*, RegKeyData* target) {
    return target->DeleteValue(name) ? 0u : kErrorFileNotFoundInRegistry;
  });
}

std::uint32_t RegEnumValue(const RegKey& key, std::uint32_t index, std::string* name) {
  RegHive hive = EmptyHive(key.root);
  const RegKeyData* found = nullptr;
  if (std::uint32_t code = ReadKey(key, KEY_QUERY_VALUE, &hive, &found)) return code;
  if (index >= found->values.size()) return kErrorNoMoreItems;
  *name = found->values[index].name;
  return 0;
}

std::uint32_t RegEnumKey(const RegKey& key, std::uint32_t index, std::string* name) {
  RegHive hive = EmptyHive(key.root);
  const RegKeyData* found = nullptr;
  if (std::uint32_t code = ReadKey(key, KEY_ENUMERATE_SUB_KEYS, &hive, &found)) return code;
  std::vector<std::string> names = hive.SubKeyNames(found->path);
  if (index >= names.size()) return kErrorNoMoreItems;
  *name = names[index];
  return 0;
}

std::uint32_t RegDeleteKey(const RegKey& key, const std::string& sub_key) {
  std::string path = RegNormalizePath(key.path + "\\" + sub_key);
  if (path.empty()) return kErrorAccessDenied;  // a root cannot be deleted
  return UpdateKey(key, 0, [&](RegHive* hive, RegKeyData*) {
    if (!hive->FindKey(path)) return kErrorFileNotFoundInRegistry;
    if (hive->HasSubKeys(path)) return kErrorAccessDenied;
    hive->DeleteKey(path);
    return 0u;
  });
}

std::uint32_t RegCheckHive(HKEY root, std::string* problem) {
  const char* root_name = RootName(root);
  if (!root_name) return kErrorInvalidHandle;
  RegHive hive(root_name);
  return ReadHiveFile(RegistryHivePath(root), SeedFor(root), &hive, problem);
}

}  // namespace tessary::platform
