#include "support/bvk_registry.h"

#include "platform/system_error.h"

namespace tessary {
namespace {

// Windows returns this for calls on a handle that is not open.
constexpr std::uint32_t kErrorInvalidHandle = 6;
// The buffer every text and binary read starts with.
constexpr std::uint32_t kReadBufferSize = 256;
constexpr std::uint32_t kMaxKeyNameBytes = 256;
constexpr char kAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

}  // namespace

bool CBVKRegistry::OpenKey(HKEY root, const std::string& sub_key, std::uint32_t access,
                           Create create) {
  CloseKey();
  root_ = root;
  sub_key_ = sub_key;
  if (platform::RegistryHivePath(root).empty()) {
    error_.SetText("An attempt was made to open a registry key without a valid ");
    error_.AddLine("starting key.");
    error_.AddSupportLine();
    return false;
  }
  std::uint32_t code = create == Create::Yes ? platform::RegCreateKey(root, sub_key, access, &key_)
                                             : platform::RegOpenKey(root, sub_key, access, &key_);
  if (code != 0) {
    error_.SetText(create == Create::Yes ? std::string("Could not create or access a registry key.")
                                         : "Could not access the registry key: '" + sub_key + "'.");
    AddSystemLine(code);
    return false;
  }
  open_ = true;
  return true;
}

void CBVKRegistry::CloseKey() {
  open_ = false;
  key_ = {};
}

CBVKRegistry::ReadOutcome CBVKRegistry::ReadValue(const std::string& name,
                                                  std::uint32_t expected_type,
                                                  std::uint32_t buffer_size, Required required,
                                                  std::vector<std::uint8_t>* data) {
  if (!open_) {
    error_.SetText("An attempt was made to retrieve a value from the registry without a valid ");
    error_.AddLine("open registry key.");
    return ReadOutcome::Failed;
  }
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  std::uint32_t code = platform::RegQueryValue(key_, name, &type, nullptr, &size);
  if (code == 0 && type != expected_type) {
    if (required == Required::No) return ReadOutcome::Default;
    error_.SetText("A required registry value is set to a wrong type.");
    return ReadOutcome::Failed;
  }
  if (code == 0) {
    data->resize(buffer_size);
    size = buffer_size;
    code = platform::RegQueryValue(key_, name, &type, data->data(), &size);
    // Binary values may be larger than the first buffer: ask again with the size reported.
    if (code == platform::kErrorMoreData && expected_type == platform::REG_BINARY) {
      code = platform::RegQueryValue(key_, name, &type, data);
      size = static_cast<std::uint32_t>(data->size());
    }
    if (code == 0 && type != expected_type) code = platform::kErrorInvalidData;
  }
  if (code != 0) {
    if (required == Required::No) return ReadOutcome::Default;
    error_.SetText("Could not locate or open a require registry value.");
    AddSystemLine(code);
    return ReadOutcome::Failed;
  }
  data->resize(size);
  return ReadOutcome::Value;
}

bool CBVKRegistry::ReadDWORD(const std::string& name, std::uint32_t* out,
                             std::uint32_t default_value, Required required) {
  std::vector<std::uint8_t> data;
  switch (ReadValue(name, platform::REG_DWORD, 4, required, &data)) {
    case ReadOutcome::Failed:
      return false;
    case ReadOutcome::Default:
      *out = default_value;
      return true;
    case ReadOutcome::Value:
      break;
  }
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < data.size(); ++i) value |= std::uint32_t{data[i]} << (8 * i);
  *out = value;
  return true;
}

bool CBVKRegistry::ReadString(const std::string& name, std::string* out,
                              const std::string& default_value, Required required) {
  std::vector<std::uint8_t> data;
  switch (ReadValue(name, platform::REG_SZ, kReadBufferSize, required, &data)) {
    case ReadOutcome::Failed:
      return false;
    case ReadOutcome::Default:
      *out = default_value;
      return true;
    case ReadOutcome::Value:
      break;
  }
  std::string text(data.begin(), data.end());
  *out = text.substr(0, text.find('\0'));
  return true;
}

bool CBVKRegistry::ReadBinary(const std::string& name, std::vector<std::uint8_t>* out,
                              Required required) {
  std::vector<std::uint8_t> data;
  switch (ReadValue(name, platform::REG_BINARY, kReadBufferSize, required, &data)) {
    case ReadOutcome::Failed:
      return false;
    case ReadOutcome::Default:
      out->clear();
      return true;
    case ReadOutcome::Value:
      break;
  }
  *out = std::move(data);
  return true;
}

bool CBVKRegistry::WriteValue(const std::string& name, std::uint32_t type,
                              const std::vector<std::uint8_t>& data, const char* no_key_line) {
  if (!open_) {
    error_.SetText("An attempt was made to set a registry value without a valid ");
    error_.AddLine(no_key_line);
    return false;
  }
  std::uint32_t code =
      platform::RegSetValue(key_, name, type, data.data(), static_cast<std::uint32_t>(data.size()));
  if (code != 0) {
    error_.SetText("Could not set a registry value.");
    AddSystemLine(code);
    return false;
  }
  return true;
}

bool CBVKRegistry::WriteDWORD(const std::string& name, std::uint32_t value) {
  std::vector<std::uint8_t> data = {
      static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
      static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
  return WriteValue(name, platform::REG_DWORD, data, "open registry key");
}

bool CBVKRegistry::WriteString(const std::string& name, const std::string& text) {
  std::vector<std::uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  return WriteValue(name, platform::REG_SZ, data, "open registry key.");
}

std::uint32_t CBVKRegistry::DeleteKeyTree(const platform::RegKey& parent,
                                          const std::string& sub_key) {
  platform::RegKey key;
  std::uint32_t code =
      platform::RegOpenKey(parent.root, parent.path + "\\" + sub_key, KEY_ALL_ACCESS, &key);
  if (code != 0) return code;
  // Each deletion shifts the rest down, so index 0 always names the next sub-key.
  std::string child;
  while ((code = platform::RegEnumKey(key, 0, &child)) == 0) {
    if ((code = DeleteKeyTree(key, child)) != 0) return code;
  }
  if (code != platform::kErrorNoMoreItems) return code;
  return platform::RegDeleteKey(parent, sub_key);
}

bool CBVKRegistry::DeleteTree(const std::string& sub_key) {
  // An empty name would make the open key itself the tree to delete.
  std::uint32_t code = !open_            ? kErrorInvalidHandle
                       : sub_key.empty() ? platform::kErrorInvalidParameter
                                         : DeleteKeyTree(key_, sub_key);
  if (code == 0 || code == platform::kErrorFileNotFoundInRegistry) return true;
  error_.SetText("Could not update the registry.");
  AddSystemLine(code);
  return false;
}

bool CBVKRegistry::DeleteValue(const std::string& name) {
  std::uint32_t code = open_ ? platform::RegDeleteValue(key_, name) : kErrorInvalidHandle;
  if (code == 0 || code == platform::kErrorFileNotFoundInRegistry) return true;
  error_.SetText("Could not remove a value from the registry.");
  AddSystemLine(code);
  return false;
}

std::string CBVKRegistry::GetAppPath(const std::string& application) {
  std::string path;
  bool found = OpenKey(HKEY_LOCAL_MACHINE, kAppPathsKey + application, KEY_READ, Create::No) &&
               ReadString("Path", &path, {}, Required::Yes);
  CloseKey();
  if (!found || path.empty()) return {};
  if (path.back() != '/') path += '/';
  return path;
}

bool CBVKRegistry::EnumValues(std::vector<std::string>* names) {
  names->clear();
  std::uint32_t code = open_ ? 0 : kErrorInvalidHandle;
  std::string name;
  for (std::uint32_t index = 0; code == 0; ++index) {
    code = platform::RegEnumValue(key_, index, &name);
    if (code == 0) names->push_back(name);
  }
  if (code == platform::kErrorNoMoreItems) return true;
  error_.SetText("Could not enumerate registry values.");
  return false;
}

bool CBVKRegistry::EnumKeys(std::vector<std::string>* names, const std::string& prefix) {
  names->clear();
  std::uint32_t code = open_ ? 0 : kErrorInvalidHandle;
  std::string name;
  for (std::uint32_t index = 0; code == 0; ++index) {
    code = platform::RegEnumKey(key_, index, &name);
    if (code == 0 && name.size() >= kMaxKeyNameBytes) code = platform::kErrorMoreData;
    if (code == 0 && name.compare(0, prefix.size(), prefix) == 0) names->push_back(name);
  }
  if (code == platform::kErrorNoMoreItems) return true;
  error_.SetText("Could not access the registry on this machine.");
  AddSystemLine(code);
  return false;
}

void CBVKRegistry::AddSystemLine(std::uint32_t code) {
  error_.SetSystemError(code);
  // Which file and line make the hive unreadable is what the user needs to mend it.
  std::string problem;
  if (code == platform::kErrorBadRegistryDatabase && platform::RegCheckHive(root_, &problem) != 0 &&
      !problem.empty())
    error_.AddLine(problem);
}

}  // namespace tessary
