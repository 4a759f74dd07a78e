#pragma once
// The setup log's line format: a six-character tag, ": ", then the entry text. The writer is
// CBVKLogFile; this file holds the tags and the reader that turns a log back into what to undo.

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace tessary::setup {

inline constexpr char kLogProduct[] = "PROD  : ";
inline constexpr char kLogFolder[] = "FOLDER: ";
inline constexpr char kLogRemovalFile[] = "NFILE : ";
inline constexpr char kLogSubFolder[] = "SUBFOL: ";
inline constexpr char kLogFile[] = "FILE  : ";
inline constexpr char kLogRegistryValue[] = "REGVAL: ";
inline constexpr char kLogRegistryKey[] = "REGKEY: ";
inline constexpr char kLogInfo[] = "INFO  : ";
inline constexpr char kLogStartFolder[] = "START : ";
inline constexpr char kLogShortcut[] = "STARTF: ";

// One earlier installation as its log recorded it. The sets collapse repeated lines.
struct InstalledProduct {
  std::string name;
  std::string code;
  std::string log_path;
  std::set<std::string> registry_values;
  std::set<std::string> registry_keys;
  std::set<std::string> files;
  std::set<std::string> folders;
  bool selected = false;
};

// True when a folder entry's name is a setup log ("Setup" + code + ".log", any case); gives the
// code, which is empty for the plain "Setup.log" of the oldest product.
bool IsSetupLogName(const std::string& name, std::string* code);

// Adds the entries of a log's lines to the product; a START entry's parent folder goes to
// *start_menu_parent (unchanged when the entry has no parent, or when parent_allowed is given
// and refuses it).
void ReadLogLines(const std::vector<std::string>& lines, InstalledProduct* product,
                  std::string* start_menu_parent,
                  const std::function<bool(const std::string&)>& parent_allowed = {});

// Drops the entries every product shares (the maker's registry keys, the Exchange extension,
// the shared libraries, the component list, the uninstaller and the logs), so removing one
// product keeps them.
void ProtectSharedEntries(InstalledProduct* product);

}  // namespace tessary::setup
