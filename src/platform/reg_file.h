#pragma once
// A registry hive in memory and its REGEDIT4 text form. Key and value names compare without
// regard to case, as on Windows, and keep the case they were first written with.
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Brenvik\Tessary]
//   @="default value"
//   "Imp File"="C:\\data\\in \"a\".csv"
//   "Imp Account Disabled"=dword:00000001
//   "Blob"=hex:01,02,ff
//   "Expand"=hex(2):25,00          <- any other type, or text that plain quotes cannot carry
//
// Hex data may continue on the next line after a trailing backslash; lines starting with ';'
// are comments.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tessary::platform {

struct RegValueData {
  std::string name;  // empty: the key's default value
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
};

struct RegKeyData {
  std::string path;                  // below the root, '\'-separated; empty for the root itself
  std::vector<RegValueData> values;  // in creation order

  RegValueData* FindValue(const std::string& name);
  const RegValueData* FindValue(const std::string& name) const;
  // Replaces the value's type and data, or appends a new value.
  void SetValue(const std::string& name, std::uint32_t type, std::vector<std::uint8_t> data);
  // False when there is no such value.
  bool DeleteValue(const std::string& name);
};

class RegHive {
 public:
  // root_name is the first part of every key line ("HKEY_CURRENT_USER").
  explicit RegHive(std::string root_name);

  const std::string& RootName() const { return root_name_; }
  // Null when the key does not exist; the root ("") always does.
  RegKeyData* FindKey(const std::string& path);
  const RegKeyData* FindKey(const std::string& path) const;
  // The key, created with its missing parents when needed.
  RegKeyData& CreateKey(const std::string& path);
  // Removes the key and everything below it; false when it does not exist or is the root.
  bool DeleteKey(const std::string& path);
  bool HasSubKeys(const std::string& path) const;
  // Names of the direct sub-keys, in case-insensitive order.
  std::vector<std::string> SubKeyNames(const std::string& path) const;

  // Parses REGEDIT4 text into an empty hive. On failure returns false with the 1-based line
  // number and a description in *line / *problem.
  [[nodiscard]] bool Parse(const std::string& text, int* line, std::string* problem);
  // The hive as REGEDIT4 text; Parse of it gives back the same keys and values.
  std::string Write() const;

 private:
  std::string root_name_;
  std::map<std::string, RegKeyData> keys_;  // by lower-case path
};

// ASCII lower case, the folding used for key and value names.
std::string RegFoldCase(const std::string& text);
// A key path with separators collapsed and without leading or trailing backslashes.
std::string RegNormalizePath(const std::string& path);

}  // namespace tessary::platform
