#include "platform/reg_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <utility>

namespace tessary::platform {
namespace {

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr int kHexBytesPerLine = 25;

std::string TrimRight(std::string text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.pop_back();
  return text;
}

std::string TrimLeft(const std::string& text) {
  std::size_t start = text.find_first_not_of(" \t");
  return start == std::string::npos ? std::string() : text.substr(start);
}

bool StartsWithFolded(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() &&
         RegFoldCase(text.substr(0, prefix.size())) == RegFoldCase(prefix);
}

std::string ParentPath(const std::string& path) {
  std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string Quote(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted + '"';
}

// Reads a quoted text starting at text[*pos] == '"'; leaves *pos after the closing quote.
bool ReadQuoted(const std::string& text, std::size_t* pos, std::string* out, std::string* problem) {
  out->clear();
  for (std::size_t i = *pos + 1; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') {
      *pos = i + 1;
      return true;
    }
    if (c == '\\') {
      if (i + 1 >= text.size() || (text[i + 1] != '\\' && text[i + 1] != '"')) {
        *problem = "unknown escape in a quoted text (only \\\\ and \\\" are allowed)";
        return false;
      }
      c = text[++i];
    }
    *out += c;
  }
  *problem = "a quoted text has no closing quote";
  return false;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool ParseHexNumber(const std::string& text, std::uint32_t* out) {
  if (text.empty() || text.size() > 8) return false;
  std::uint32_t value = 0;
  for (char c : text) {
    int digit = HexDigit(c);
    if (digit < 0) return false;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  *out = value;
  return true;
}

bool ParseHexBytes(const std::string& text, std::vector<std::uint8_t>* out, std::string* problem) {
  out->clear();
  std::string rest = TrimRight(TrimLeft(text));
  if (rest.empty()) return true;
  std::size_t pos = 0;
  while (true) {
    std::size_t comma = rest.find(',', pos);
    std::string item = TrimRight(TrimLeft(rest.substr(pos, comma - pos)));
    if (item.size() != 2 || HexDigit(item[0]) < 0 || HexDigit(item[1]) < 0) {
      *problem = "'" + item + "' is not a byte in hexadecimal";
      return false;
    }
    out->push_back(static_cast<std::uint8_t>(HexDigit(item[0]) * 16 + HexDigit(item[1])));
    if (comma == std::string::npos) return true;
    pos = comma + 1;
  }
}

// The data after "=": a quoted text, dword:, hex: or hex(type):.
bool ParseData(const std::string& text, RegValueData* value, std::string* problem) {
  if (!text.empty() && text[0] == '"') {
    std::size_t pos = 0;
    std::string content;
    if (!ReadQuoted(text, &pos, &content, problem)) return false;
    if (!TrimLeft(text.substr(pos)).empty()) {
      *problem = "unexpected text after the closing quote";
      return false;
    }
    value->type = kRegSz;
    value->data.assign(content.begin(), content.end());
    value->data.push_back(0);
    return true;
  }
  if (StartsWithFolded(text, "dword:")) {
    std::uint32_t number = 0;
    if (!ParseHexNumber(TrimRight(text.substr(6)), &number)) {
      *problem = "a dword value needs up to eight hexadecimal digits";
      return false;
    }
    value->type = kRegDword;
    value->data = {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
                   static_cast<std::uint8_t>(number >> 16),
                   static_cast<std::uint8_t>(number >> 24)};
    return true;
  }
  if (StartsWithFolded(text, "hex:")) {
    value->type = kRegBinary;
    return ParseHexBytes(text.substr(4), &value->data, problem);
  }
  if (StartsWithFolded(text, "hex(")) {
    std::size_t close = text.find("):");
    if (close == std::string::npos || !ParseHexNumber(text.substr(4, close - 4), &value->type)) {
      *problem = "hex(type): needs the type in hexadecimal";
      return false;
    }
    return ParseHexBytes(text.substr(close + 2), &value->data, problem);
  }
  *problem = "a value must be a quoted text, dword:, hex: or hex(type):";
  return false;
}

std::string HexData(const std::string& prefix, const std::vector<std::uint8_t>& data) {
  std::string text = prefix;
  for (std::size_t i = 0; i < data.size(); ++i) {
    char byte[3];
    std::snprintf(byte, sizeof byte, "%02x", data[i]);
    text += byte;
    if (i + 1 < data.size()) {
      text += ',';
      if ((i + 1) % kHexBytesPerLine == 0) text += "\\\n  ";
    }
  }
  return text;
}

// A text value that plain quotes can carry: one terminating zero, no other zero, no line break.
bool IsPlainText(const RegValueData& value) {
  if (value.type != kRegSz || value.data.empty() || value.data.back() != 0) return false;
  return std::none_of(value.data.begin(), value.data.end() - 1,
                      [](std::uint8_t c) { return c == 0 || c == '\n' || c == '\r'; });
}

std::string ValueLine(const RegValueData& value) {
  std::string line = value.name.empty() ? "@=" : Quote(value.name) + "=";
  if (IsPlainText(value))
    return line + Quote(std::string(value.data.begin(), value.data.end() - 1));
  if (value.type == kRegDword && value.data.size() == 4) {
    std::uint32_t number = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                           (static_cast<std::uint32_t>(value.data[3]) << 24);
    char text[16];
    std::snprintf(text, sizeof text, "dword:%08x", number);
    return line + text;
  }
  if (value.type == kRegBinary) return HexData(line + "hex:", value.data);
  char prefix[24];
  std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
  return HexData(line + prefix, value.data);
}

}  // namespace

std::string RegFoldCase(const std::string& text) {
  std::string folded = text;
  for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folded;
}

std::string RegNormalizePath(const std::string& path) {
  std::string normalized;
  for (char c : path) {
    if (c == '\\' && (normalized.empty() || normalized.back() == '\\')) continue;
    normalized += c;
  }
  if (!normalized.empty() && normalized.back() == '\\') normalized.pop_back();
  return normalized;
}

RegValueData* RegKeyData::FindValue(const std::string& name) {
  std::string folded = RegFoldCase(name);
  for (RegValueData& value : values)
    if (RegFoldCase(value.name) == folded) return &value;
  return nullptr;
}

const RegValueData* RegKeyData::FindValue(const std::string& name) const {
  return const_cast<RegKeyData*>(this)->FindValue(name);
}

void RegKeyData::SetValue(const std::string& name, std::uint32_t type,
                          std::vector<std::uint8_t> data) {
  if (RegValueData* value = FindValue(name)) {
    value->type = type;
    value->data = std::move(data);
    return;
  }
  values.push_back({name, type, std::move(data)});
}

bool RegKeyData::DeleteValue(const std::string& name) {
  std::string folded = RegFoldCase(name);
  auto found = std::find_if(values.begin(), values.end(), [&](const RegValueData& value) {
    return RegFoldCase(value.name) == folded;
  });
  if (found == values.end()) return false;
  values.erase(found);
  return true;
}

RegHive::RegHive(std::string root_name) : root_name_(std::move(root_name)) {
  keys_[""] = RegKeyData{};
}

RegKeyData* RegHive::FindKey(const std::string& path) {
  auto found = keys_.find(RegFoldCase(RegNormalizePath(path)));
  return found == keys_.end() ? nullptr : &found->second;
}

const RegKeyData* RegHive::FindKey(const std::string& path) const {
  return const_cast<RegHive*>(this)->FindKey(path);
}

RegKeyData& RegHive::CreateKey(const std::string& path) {
  std::string normalized = RegNormalizePath(path);
  RegKeyData* key = &keys_[""];
  std::size_t end = 0;
  while (end < normalized.size()) {
    end = normalized.find('\\', end + 1);
    if (end == std::string::npos) end = normalized.size();
    std::string prefix = normalized.substr(0, end);
    auto [found, inserted] = keys_.try_emplace(RegFoldCase(prefix));
    if (inserted) found->second.path = prefix;
    key = &found->second;
  }
  return *key;
}

bool RegHive::DeleteKey(const std::string& path) {
  std::string folded = RegFoldCase(RegNormalizePath(path));
  if (folded.empty() || !keys_.count(folded)) return false;
  std::string below = folded + '\\';
  std::erase_if(keys_, [&](const auto& entry) {
    return entry.first == folded || entry.first.compare(0, below.size(), below) == 0;
  });
  return true;
}

bool RegHive::HasSubKeys(const std::string& path) const { return !SubKeyNames(path).empty(); }

std::vector<std::string> RegHive::SubKeyNames(const std::string& path) const {
  std::string parent = RegFoldCase(RegNormalizePath(path));
  std::vector<std::string> names;
  for (const auto& [folded, key] : keys_) {
    if (folded.empty() || RegFoldCase(ParentPath(key.path)) != parent) continue;
    std::size_t slash = key.path.rfind('\\');
    names.push_back(slash == std::string::npos ? key.path : key.path.substr(slash + 1));
  }
  return names;
}

bool RegHive::Parse(const std::string& text, int* line_number, std::string* problem) {
  std::vector<std::string> lines;
  std::size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(TrimRight(text.substr(start, end - start)));
    start = end + 1;
  }
  if (lines.empty() || lines[0] != "REGEDIT4") {
    *line_number = 1;
    *problem = "the first line is not \"REGEDIT4\"";
    return false;
  }
  RegKeyData* key = nullptr;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    *line_number = static_cast<int>(i + 1);
    std::string line = TrimLeft(lines[i]);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      if (line.back() != ']' || line.size() < 3 || line[1] == '-') {
        *problem = "a key line must read [" + root_name_ + "\\...]";
        return false;
      }
      std::string path = line.substr(1, line.size() - 2);
      if (!StartsWithFolded(path, root_name_) ||
          (path.size() > root_name_.size() && path[root_name_.size()] != '\\')) {
        *problem = "the key is not below " + root_name_;
        return false;
      }
      key = &CreateKey(path.substr(root_name_.size()));
      continue;
    }
    if (line[0] != '"' && line[0] != '@') {
      *problem = "a line must be a key in brackets or a \"name\"=value";
      return false;
    }
    if (!key) {
      *problem = "a value comes before the first key";
      return false;
    }
    RegValueData value;
    std::size_t pos = 1;  // just after '@'
    if (line[0] == '"') {
      pos = 0;
      if (!ReadQuoted(line, &pos, &value.name, problem)) return false;
    }
    if (pos >= line.size() || line[pos] != '=') {
      *problem = "the value name must be followed by '='";
      return false;
    }
    std::string data = line.substr(pos + 1);
    while (!data.empty() && data.back() == '\\' && data[0] != '"' && i + 1 < lines.size()) {
      data.pop_back();
      data += TrimLeft(lines[++i]);
    }
    if (!ParseData(data, &value, problem)) return false;
    key->SetValue(value.name, value.type, std::move(value.data));
  }
  return true;
}

std::string RegHive::Write() const {
  std::string text = "REGEDIT4\n";
  for (const auto& [folded, key] : keys_) {
    if (folded.empty() && key.values.empty()) continue;
    text += "\n[" + root_name_ + (key.path.empty() ? "" : "\\" + key.path) + "]\n";
    for (const RegValueData& value : key.values) text += ValueLine(value) + '\n';
  }
  return text;
}

}  // namespace tessary::platform
