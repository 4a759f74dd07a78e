#pragma once
// The registry stand-in: each hive (HKCU, HKLM, HKCR) is a REGEDIT4 text file. Every call reads
// the hive afresh; every change is a read-modify-write under an exclusive lock on "<hive>.lock",
// written to a temporary file in the same folder and renamed over the hive, so concurrent writers
// of different values lose nothing and a crash never leaves half a hive. A hive that cannot be
// parsed is reported (1009) and never written.
//
// Hive files:
//   HKEY_CURRENT_USER   ${XDG_CONFIG_HOME:-$HOME/.config}/brenvik/user.reg
//   HKEY_LOCAL_MACHINE  ${BRENVIK_ROOT}/var/lib/brenvik/machine.reg
//   HKEY_CLASSES_ROOT   ${BRENVIK_ROOT}/var/lib/brenvik/classes.reg
// A hive that does not exist yet reads as a freshly seeded one (see registry_seed.h) and is
// written, seed included, by its first change.
//
// Every operation answers with a Win32 code: 0 success, 2 missing key or value, 5 access denied
// (by the key's access mask or by the file system), 6 bad root key, 234 buffer too small,
// 259 no more items, 1009 unparsable hive, 1018 key deleted while open, or the code of the file
// failure (112 disk full, ...).

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tessary::platform {

// Root keys keep their Windows values; a default-constructed HKEY is "no root".
enum class HKEY : std::uint32_t {};
inline constexpr HKEY HKEY_CLASSES_ROOT{0x80000000u};
inline constexpr HKEY HKEY_CURRENT_USER{0x80000001u};
inline constexpr HKEY HKEY_LOCAL_MACHINE{0x80000002u};

// Access rights, as RegOpenKeyEx takes them.
inline constexpr std::uint32_t KEY_QUERY_VALUE = 0x0001;
inline constexpr std::uint32_t KEY_SET_VALUE = 0x0002;
inline constexpr std::uint32_t KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr std::uint32_t KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr std::uint32_t KEY_READ = 0x20019;
inline constexpr std::uint32_t KEY_WRITE = 0x20006;
inline constexpr std::uint32_t KEY_ALL_ACCESS = 0xF003F;

// Value types.
inline constexpr std::uint32_t REG_NONE = 0;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_EXPAND_SZ = 2;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;
inline constexpr std::uint32_t REG_MULTI_SZ = 7;

// An open key: which hive, the key's path below the root (as first written) and the rights
// it was opened with. It holds no file; each operation goes to the hive.
struct RegKey {
  HKEY root{};
  std::string path;
  std::uint32_t access = 0;
};

// The file that holds a root's hive (empty for an unknown root).
std::filesystem::path RegistryHivePath(HKEY root);

// Opens sub_key (empty: the root itself), creating it and its missing parents.
std::uint32_t RegCreateKey(HKEY root, const std::string& sub_key, std::uint32_t access,
                           RegKey* key);
// Opens an existing key; 2 when it does not exist.
std::uint32_t RegOpenKey(HKEY root, const std::string& sub_key, std::uint32_t access, RegKey* key);

// Reads a value (name empty: the default value). data may be null to ask for type and size.
// On entry *size is the buffer size; on return the value's size. 234 when the buffer is too
// small (type and size are still set).
std::uint32_t RegQueryValue(const RegKey& key, const std::string& name, std::uint32_t* type,
                            std::uint8_t* data, std::uint32_t* size);
// Convenience form that always reads the whole value.
std::uint32_t RegQueryValue(const RegKey& key, const std::string& name, std::uint32_t* type,
                            std::vector<std::uint8_t>* data);
std::uint32_t RegSetValue(const RegKey& key, const std::string& name, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size);
// 2 when the value does not exist.
std::uint32_t RegDeleteValue(const RegKey& key, const std::string& name);

// Names by index (values in the order they were created, sub-keys in case-insensitive order);
// 259 past the last one.
std::uint32_t RegEnumValue(const RegKey& key, std::uint32_t index, std::string* name);
std::uint32_t RegEnumKey(const RegKey& key, std::uint32_t index, std::string* name);

// Deletes sub_key of key, which must have no sub-keys of its own (5 otherwise); 2 when missing.
std::uint32_t RegDeleteKey(const RegKey& key, const std::string& sub_key);

// Parses the root's hive without changing anything: 0 when it is readable (or does not exist
// yet), otherwise the code, with *problem naming the file and the line at fault.
std::uint32_t RegCheckHive(HKEY root, std::string* problem);

}  // namespace tessary::platform
