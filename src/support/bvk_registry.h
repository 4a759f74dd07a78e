#pragma once
// Registry access with an error record: opens one key at a time and reads and writes its
// values. Every operation returns true/false and leaves its message in Error().

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "support/bvk_error.h"

namespace tessary {

using platform::HKEY;
using platform::HKEY_CLASSES_ROOT;
using platform::HKEY_CURRENT_USER;
using platform::HKEY_LOCAL_MACHINE;
using platform::KEY_ALL_ACCESS;
using platform::KEY_READ;
using platform::KEY_WRITE;

class CBVKRegistry {
 public:
  enum class Create { No, Yes };
  enum class Required { No, Yes };

  CBVKRegistry() = default;
  ~CBVKRegistry() { CloseKey(); }
  CBVKRegistry(const CBVKRegistry&) = delete;
  CBVKRegistry& operator=(const CBVKRegistry&) = delete;

  CBVKError& Error() { return error_; }
  const CBVKError& Error() const { return error_; }

  // Closes any open key, then creates (Create::Yes) or opens the key with the access mask.
  // Fails for a missing root, a key that cannot be created, or (Create::No) a missing key.
  [[nodiscard]] bool OpenKey(HKEY root, const std::string& sub_key,
                             std::uint32_t access = KEY_ALL_ACCESS, Create create = Create::Yes);
  void CloseKey();
  bool IsOpen() const { return open_; }
  HKEY Root() const { return root_; }
  const std::string& SubKey() const { return sub_key_; }

  // Reads of the open key. Not required: any failure except "no open key" stores the default
  // and succeeds. Required: a missing value, an unreadable one or one of another type fails.
  // A text of 256 bytes or more (with its terminating zero) is not read.
  [[nodiscard]] bool ReadDWORD(const std::string& name, std::uint32_t* out,
                               std::uint32_t default_value = 0, Required required = Required::No);
  [[nodiscard]] bool ReadString(const std::string& name, std::string* out,
                                const std::string& default_value = {},
                                Required required = Required::No);
  // Fails as ReadDWORD; not required and unreadable leaves *out empty.
  [[nodiscard]] bool ReadBinary(const std::string& name, std::vector<std::uint8_t>* out,
                                Required required = Required::No);

  // Writes to the open key; fail without an open key or when the hive cannot be written.
  [[nodiscard]] bool WriteDWORD(const std::string& name, std::uint32_t value);
  [[nodiscard]] bool WriteString(const std::string& name, const std::string& text);

  // Deletes sub_key of the open key with everything below it; a missing sub-key is success,
  // an empty name fails (it would delete the open key itself).
  [[nodiscard]] bool DeleteTree(const std::string& sub_key);
  // Deletes a value of the open key; a missing value is success.
  [[nodiscard]] bool DeleteValue(const std::string& name);

  // The "Path" value of HKEY_LOCAL_MACHINE ...\App Paths\<application> with a trailing '/';
  // empty on any failure (the reason stays in Error()). Leaves this object's key closed.
  std::string GetAppPath(const std::string& application);

  // Names of the open key's values / sub-keys in index order; EnumKeys keeps only names that
  // begin with prefix (exact comparison). Fail without an open key or on a registry failure.
  [[nodiscard]] bool EnumValues(std::vector<std::string>* names);
  [[nodiscard]] bool EnumKeys(std::vector<std::string>* names, const std::string& prefix = {});

 private:
  enum class ReadOutcome { Value, Default, Failed };
  // The checks common to every read: an open key, the value's type, then its bytes read into
  // a buffer of buffer_size.
  ReadOutcome ReadValue(const std::string& name, std::uint32_t expected_type,
                        std::uint32_t buffer_size, Required required,
                        std::vector<std::uint8_t>* data);
  bool WriteValue(const std::string& name, std::uint32_t type,
                  const std::vector<std::uint8_t>& data, const char* no_key_line);
  static std::uint32_t DeleteKeyTree(const platform::RegKey& parent, const std::string& sub_key);
  // The system's text for the code; for an unreadable hive also the file and line at fault.
  void AddSystemLine(std::uint32_t code);

  CBVKError error_;
  platform::RegKey key_;
  bool open_ = false;
  HKEY root_{};
  std::string sub_key_;
};

}  // namespace tessary
