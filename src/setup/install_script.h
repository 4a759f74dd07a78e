#pragma once
// The install script: plain-text lines whose first four characters name what the line adds to the
// lists of the install run. Every script read adds to the same lists, so a second script extends
// the first.

#include <string>
#include <vector>

namespace tessary::setup {

// Where a file goes, and whether a later removal undoes it.
enum FileKind : int {
  kSystemFile = 1,     // the system folder; never logged
  kProgramFile = 2,    // the install folder; logged
  kSharedDaoFile = 3,  // common files + "Microsoft Shared/DAO/", version-checked; never logged
  kSubFolderFile = 4,  // install folder + sub-folder; logged
};

struct FileEntry {
  std::string source_name;
  int kind = kProgramFile;
  bool register_flag = false;
  std::string shortcut_name;  // set by a STRT line
  std::string sub_folder;     // kind 4 only
};

enum Hive : int { kHiveCurrentUser = 0, kHiveLocalMachine = 1, kHiveClassesRoot = 2 };

struct RegistryEntry {
  enum Kind : int { kKey = 0, kValue = 1 };
  int kind = kKey;
  int hive = kHiveCurrentUser;
  std::string key_path;
  std::string name;   // the sub-key to create, or the value's name
  std::string value;  // value entries only
};

// Everything the scripts of one run have said.
struct InstallScript {
  std::string product_name;
  std::string product_code;
  std::string copy_name;
  std::string run_command;
  std::string previous_product;
  std::string previous_note;  // PRVN
  std::string popl_text;
  std::string completion_note;  // ODNE
  bool remove_previous_registry = true;
  std::vector<FileEntry> files;
  std::vector<RegistryEntry> registry;
  std::vector<std::string> sub_folders;
  std::vector<std::string> removal_only_files;
  std::vector<std::string> components;
  std::vector<std::string> required_applications;
  std::vector<std::string> required_systems;
  // The main window's look, chosen by the product code.
  int colour_scheme = -1;
  std::vector<int> decorations;
};

// What a line's meaning depends on besides its own text.
struct ScriptContext {
  bool newer_office = false;
  std::string install_folder;  // replaces "%%%" in registry values; empty when none is known yet
};

// Applies each line in order; lines that do not fit are ignored, never reported.
void ApplyScriptLines(const std::vector<std::string>& lines, const ScriptContext& context,
                      InstallScript* script);

// Splits text at every separator; n separators give n + 1 fields, so an empty text gives one.
std::vector<std::string> SplitFields(const std::string& text, const std::string& separator);

// The final command with its markers: "%SYSTEM%" the system folder, "%PROGRAM%" the install
// folder and "%%" a double quote.
std::string ExpandRunCommand(std::string command, const std::string& system_folder,
                             const std::string& install_folder);

// The hive code as logged: "CU", "LM" or "CR"; empty for any other hive number.
std::string HiveCode(int hive);

}  // namespace tessary::setup
