#include "setup/install_script.h"

#include <array>
#include <string_view>

#include "setup/text.h"

namespace tessary::setup {
namespace {

struct CodeLook {
  std::string_view code;
  int decoration;  // 0: none
  int scheme;
};

constexpr std::array<CodeLook, 11> kCodeLooks = {{
    {"KP", 1129, 0},
    {"RS", 1125, 4},
    {"VN", 1124, 2},
    {"HT", 1128, 0},
    {"HTL", 1128, 0},
    {"WO", 1129, 4},
    {"GZB", 1126, 5},
    {"TY", 1126, 5},
    {"HTSV", 1130, 6},
    {"HTSV6", 1130, 6},
    {"PJ", 1131, 3},
}};

void ApplyCode(const std::string& code, InstallScript* script) {
  script->product_code = code;
  for (const CodeLook& look : kCodeLooks) {
    if (look.code == code) {
      script->decorations.push_back(look.decoration);
      script->colour_scheme = look.scheme;
      return;
    }
  }
  script->colour_scheme = -1;
}

std::string TrimRight(const std::string& text) {
  std::size_t end = text.find_last_not_of(" \t\r\n\f\v");
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

void AddFile(const std::string& value, InstallScript* script) {
  std::vector<std::string> fields = SplitFields(value, "$");
  FileEntry entry;
  entry.source_name = TrimRight(fields[0]);
  if (entry.source_name.empty()) return;
  const std::string kind = fields.size() > 1 ? fields[1] : std::string();
  const std::string third = fields.size() > 2 ? fields[2] : std::string();
  if (kind == "1") {
    entry.kind = kSystemFile;
  } else if (kind == "3") {
    entry.kind = kSharedDaoFile;
  } else if (kind == "4") {
    entry.kind = kSubFolderFile;
    entry.sub_folder = third;
  }
  if (entry.kind != kProgramFile) entry.register_flag = third == "1";
  script->files.push_back(entry);
}

int HiveFromCode(const std::string& code) {
  if (code == "LM") return kHiveLocalMachine;
  if (code == "CR") return kHiveClassesRoot;
  return kHiveCurrentUser;
}

void AddRegistryKey(const std::string& value, InstallScript* script) {
  std::vector<std::string> fields = SplitFields(value, "$$$");
  if (fields.size() != 3) return;
  script->registry.push_back(
      {RegistryEntry::kKey, HiveFromCode(fields[0]), fields[1], fields[2], std::string()});
}

void AddRegistryValue(const std::string& value, const ScriptContext& context,
                      InstallScript* script) {
  std::vector<std::string> fields = SplitFields(value, "$$$");
  if (fields.size() != 4) return;
  ReplaceAll(&fields[3], "%%%", context.install_folder);
  script->registry.push_back(
      {RegistryEntry::kValue, HiveFromCode(fields[0]), fields[1], fields[2], fields[3]});
}

void NameShortcut(const std::string& value, InstallScript* script) {
  std::vector<std::string> fields = SplitFields(value, "$$$");
  if (fields.size() < 2 || script->files.empty()) return;
  for (FileEntry& entry : script->files) {
    if (entry.source_name == fields[1]) {
      entry.shortcut_name = fields[0];
      return;
    }
  }
}

void ApplyLine(const std::string& line, const ScriptContext& context, InstallScript* script) {
  const std::string keyword = line.substr(0, 4);
  const std::string value = line.size() > 6 ? line.substr(6) : std::string();
  const bool newer = context.newer_office;
  if (keyword == "PROD") {
    script->product_name = value;
  } else if (keyword == "CODE") {
    ApplyCode(value, script);
  } else if (keyword == "IGZB") {
    // Accepted for older scripts; it means nothing any more.
  } else if (keyword == "SUBF") {
    script->sub_folders.push_back(value);
  } else if (keyword == "RQAP") {
    script->required_applications.push_back(value);
  } else if (keyword == "RQOS") {
    script->required_systems.push_back(value);
  } else if (keyword == "FILE" || (keyword == "FI10" && newer) || (keyword == "FIOU" && !newer)) {
    AddFile(value, script);
  } else if (keyword == "FI10" || keyword == "FIOU") {
    // A line for the other Office generation.
  } else if (keyword.compare(0, 2, "EX") == 0) {
    script->removal_only_files.push_back(value);
  } else if (keyword == "COMP" || (keyword == "COOU" && !newer)) {
    script->components.push_back(value);
  } else if (keyword == "COOU") {
    // A component of the older Office only.
  } else if (keyword == "COPY") {
    script->copy_name = value;
  } else if (keyword == "RUN ") {
    script->run_command = value;
  } else if (keyword == "PREV") {
    script->previous_product = value;
  } else if (keyword == "PRVN") {
    script->previous_note = value;
  } else if (keyword == "PRVR") {
    script->remove_previous_registry = false;
  } else if (keyword == "STRT") {
    NameShortcut(value, script);
  } else if (keyword == "POPL") {
    script->popl_text = value;
  } else if (keyword == "ODNE") {
    script->completion_note = value;
  } else if (keyword == "REGK" || (keyword == "RK10" && newer) || (keyword == "RKOU" && !newer)) {
    AddRegistryKey(value, script);
  } else if (keyword == "REGV" || (keyword == "RV10" && newer) || (keyword == "RVOU" && !newer)) {
    AddRegistryValue(value, context, script);
  }
}

}  // namespace

std::vector<std::string> SplitFields(const std::string& text, const std::string& separator) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t at = text.find(separator); at != std::string::npos;
       at = text.find(separator, start)) {
    fields.push_back(text.substr(start, at - start));
    start = at + separator.size();
  }
  fields.push_back(text.substr(start));
  return fields;
}

std::string ExpandRunCommand(std::string command, const std::string& system_folder,
                             const std::string& install_folder) {
  ReplaceAll(&command, "%SYSTEM%", system_folder);
  ReplaceAll(&command, "%PROGRAM%", install_folder);
  ReplaceAll(&command, "%%", "\"");
  return command;
}

std::string HiveCode(int hive) {
  switch (hive) {
    case kHiveCurrentUser:
      return "CU";
    case kHiveLocalMachine:
      return "LM";
    case kHiveClassesRoot:
      return "CR";
    default:
      return {};
  }
}

void ApplyScriptLines(const std::vector<std::string>& lines, const ScriptContext& context,
                      InstallScript* script) {
  for (const std::string& line : lines) ApplyLine(line, context, script);
}

}  // namespace tessary::setup
