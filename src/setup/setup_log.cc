#include "setup/setup_log.h"

#include "setup/text.h"

namespace tessary::setup {
bool IsSetupLogName(const std::string& name, std::string* code) {
  const std::string upper = Upper(name);
  // "SETUP" + ".LOG" needs nine characters; a shorter name cannot be a log.
  if (upper.size() < 9 || upper.compare(0, 5, "SETUP") != 0 || !EndsWith(upper, ".LOG")) {
    return false;
  }
  *code = name.substr(5, name.size() - 9);
  return true;
}

void ReadLogLines(const std::vector<std::string>& lines, InstalledProduct* product,
                  std::string* start_menu_parent,
                  const std::function<bool(const std::string&)>& parent_allowed) {
  for (const std::string& line : lines) {
    const std::string tag = line.substr(0, 6);
    const std::string text = line.size() > 8 ? line.substr(8) : std::string();
    if (tag == "PROD  ") {
      product->name = text;
    } else if (tag == "REGVAL") {
      product->registry_values.insert(text);
    } else if (tag == "REGKEY") {
      product->registry_keys.insert(text);
    } else if (tag == "FILE  " || tag == "STARTF") {
      product->files.insert(text);
    } else if (tag == "NFILE ") {
      if (!EndsWith(text, "Uninst.exe")) product->files.insert(text);
    } else if (tag == "SUBFOL") {
      product->folders.insert(text);
    } else if (tag == "START ") {
      product->folders.insert(text);
      std::size_t slash = text.find_last_of('/');
      if (slash != std::string::npos && slash != 0 &&
          (!parent_allowed || parent_allowed(text.substr(0, slash)))) {
        *start_menu_parent = text.substr(0, slash);
      }
    }
  }
}

void ProtectSharedEntries(InstalledProduct* product) {
  static const char* const kSharedFiles[] = {"EXTMAIN.DLL", "EXTBASE.DLL", "COMP.DAT", "UNINST.EXE",
                                             "SETUP.LOG"};
  std::erase_if(product->files, [](const std::string& file) {
    const std::string upper = Upper(file);
    for (const char* shared : kSharedFiles) {
      if (EndsWith(upper, shared)) return true;
    }
    return false;
  });
  auto maker_entry = [](const std::string& entry) { return EndsWith(Upper(entry), "BRENVIK"); };
  std::erase_if(product->registry_keys, maker_entry);
  std::erase_if(product->registry_values, maker_entry);
}

}  // namespace tessary::setup
