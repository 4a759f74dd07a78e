#include "setup/script_text.h"

#include <cstdint>

namespace tessary::setup {
namespace {

void AppendUtf8(std::uint32_t code, std::string* out) {
  if (code < 0x80) {
    *out += static_cast<char>(code);
  } else if (code < 0x800) {
    *out += static_cast<char>(0xC0 | (code >> 6));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    *out += static_cast<char>(0xE0 | (code >> 12));
    *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (code >> 18));
    *out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// UTF-16 after its mark as UTF-8; nothing when it is broken.
std::optional<std::string> FromUtf16(const std::string& bytes, bool big_endian) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  auto unit = [&bytes, big_endian](std::size_t at) -> std::uint32_t {
    const auto first = static_cast<unsigned char>(bytes[at]);
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    return big_endian ? (first << 8) | second : (second << 8) | first;
  };
  std::string text;
  for (std::size_t at = 2; at < bytes.size(); at += 2) {
    std::uint32_t code = unit(at);
    if (code >= 0xDC00 && code <= 0xDFFF) return std::nullopt;
    if (code >= 0xD800 && code <= 0xDBFF) {
      if (at + 3 >= bytes.size()) return std::nullopt;
      const std::uint32_t low = unit(at + 2);
      if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
      at += 2;
    }
    AppendUtf8(code, &text);
  }
  return text;
}

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
    std::optional<std::string> decoded = FromUtf16(bytes, bytes[0] == '\xFE');
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
