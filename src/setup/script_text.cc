#include "setup/script_text.h"

#include "support/text_encoding.h"

namespace tessary::setup {
namespace {

bool StartsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

// A relative path that stays below the folder it is put in.
bool StaysInside(const std::string& name) {
  if (StartsWith(name, "/")) return false;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = name.find('/', start);
    if (name.substr(start, end == std::string::npos ? end : end - start) == "..") return false;
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

// One name within its folder: no "/" and not "." or "..".
bool IsPlainName(const std::string& name) {
  return name.find('/') == std::string::npos && name != "." && name != "..";
}

}  // namespace

std::optional<std::vector<std::string>> ScriptLines(const std::string& bytes) {
  std::string text;
  if (StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, "\xFE\xFF")) {
    std::optional<std::string> decoded = DecodeMarkedUtf16(bytes);
    if (!decoded) return std::nullopt;
    text = std::move(*decoded);
  } else {
    text = StartsWith(bytes, "\xEF\xBB\xBF") ? bytes.substr(3) : bytes;
  }
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

std::optional<std::string> UnreadableNamingLine(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    if (StartsWith(line, "PROD") || StartsWith(line, "CODE")) continue;
    std::string seen;
    for (char c : line) {
      if (c != '\0') seen += c;
    }
    for (bool stripped = true; stripped;) {
      stripped = false;
      for (const char* mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF", " ", "\t"}) {
        if (StartsWith(seen, mark)) {
          seen.erase(0, std::string(mark).size());
          stripped = true;
        }
      }
    }
    if (StartsWith(seen, "PROD") || StartsWith(seen, "CODE")) return line;
  }
  return std::nullopt;
}

std::optional<std::string> NameLeavingItsFolder(const InstallScript& script) {
  for (const std::string& name : {script.product_name, script.product_code}) {
    if (!IsPlainName(name)) return name;
  }
  for (const std::string& folder : script.sub_folders) {
    if (!StaysInside(folder)) return folder;
  }
  for (const FileEntry& entry : script.files) {
    if (!StaysInside(entry.source_name)) return entry.source_name;
    if (entry.kind == kSubFolderFile && !StaysInside(entry.sub_folder)) return entry.sub_folder;
    if (!entry.shortcut_name.empty() && !IsPlainName(entry.shortcut_name)) {
      return entry.shortcut_name;
    }
  }
  for (const std::string& name : script.removal_only_files) {
    if (!StaysInside(name)) return name;
  }
  if (!StaysInside(script.copy_name)) return script.copy_name;
  return std::nullopt;
}

}  // namespace tessary::setup
