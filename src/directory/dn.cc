#include "directory/dn.h"

#include <cctype>
#include <cstdio>
#include <utility>

#include "directory/ds/dn.h"
#include "support/bvk_error.h"

namespace tessary {
namespace {

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return;
  std::string out;
  out.reserve(text.size());
  std::size_t start = 0;
  for (std::size_t hit = text.find(from); hit != std::string::npos; hit = text.find(from, start)) {
    out.append(text, start, hit - start);
    out += to;
    start = hit + from.size();
  }
  out.append(text, start, std::string::npos);
  text = std::move(out);
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// The characters a name escapes: RFC 4514's specials, '=' and '#' anywhere, and '/' because
// ADSI paths use it as a separator.
bool IsSpecial(char c) {
  return c == '\\' || c == '/' || c == '#' || c == ',' || c == '+' || c == ';' || c == '<' ||
         c == '=' || c == '>' || c == '"';
}

bool IsHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// The length of a naming type at pos: "CN=", "OU=" or "DC=" in any case, with the blanks that
// the DN reader allows before the type and around its "=" ("CN=x, OU=y" has two names); or 0.
std::size_t NamingTypeAt(const std::string& text, std::size_t pos) {
  std::size_t at = pos;
  while (at < text.size() && text[at] == ' ') ++at;
  if (at + 2 > text.size()) return 0;
  const std::string type = {
      static_cast<char>(std::toupper(static_cast<unsigned char>(text[at]))),
      static_cast<char>(std::toupper(static_cast<unsigned char>(text[at + 1])))};
  if (type != "CN" && type != "OU" && type != "DC") return 0;
  at += 2;
  while (at < text.size() && text[at] == ' ') ++at;
  return at < text.size() && text[at] == '=' ? at + 1 - pos : 0;
}

// Writes the naming type found at pos as its two letters upper-cased and "=", without blanks.
void AppendType(std::string& out, const std::string& text, std::size_t pos) {
  while (text[pos] == ' ') ++pos;
  out += static_cast<char>(std::toupper(static_cast<unsigned char>(text[pos])));
  out += static_cast<char>(std::toupper(static_cast<unsigned char>(text[pos + 1])));
  out += '=';
}

}  // namespace

void NormalizeDN(std::string& path) {
  if (StartsWith(path, "/o=") || StartsWith(path, "/O=") || StartsWith(path, "<GUID")) return;
  std::string out;
  out.reserve(path.size() + 8);
  const std::size_t first = NamingTypeAt(path, 0);
  if (first == 0) {
    // Not a DN of ours: only the naming types at the start of each part are written upper-case.
    for (std::size_t i = 0; i < path.size(); ++i) {
      const std::size_t type = i > 0 && path[i - 1] == ',' ? NamingTypeAt(path, i) : 0;
      if (type != 0) {
        AppendType(out, path, i);
        i += type - 1;
      } else {
        out += path[i];
      }
    }
    path = std::move(out);
    return;
  }
  AppendType(out, path, 0);
  for (std::size_t i = first; i < path.size(); ++i) {
    char c = path[i];
    // A comma, escaped or not, directly before a naming type separates two names.
    std::size_t comma = c == ','                                                   ? 1
                        : (c == '\\' && i + 1 < path.size() && path[i + 1] == ',') ? 2
                                                                                   : 0;
    const std::size_t type = comma ? NamingTypeAt(path, i + comma) : 0;
    if (type != 0) {
      out += ',';
      AppendType(out, path, i + comma);
      i += comma + type - 1;
      continue;
    }
    if (c == '\\' && i + 2 < path.size() && IsHexDigit(path[i + 1]) && IsHexDigit(path[i + 2])) {
      out.append(path, i, 3);  // a hex escape stands for a byte that has no other written form
      i += 2;
      continue;
    }
    if (c == '\\' && i + 1 < path.size() && path[i + 1] == ' ') {
      out += "\\ ";  // an escaped space keeps a name's leading or trailing blank
      ++i;
      continue;
    }
    if (c == '\\' && i + 1 < path.size() && IsSpecial(path[i + 1])) c = path[++i];
    if (IsSpecial(c)) out += '\\';
    out += c;
  }
  path = std::move(out);
}

bool SplitDN(const std::string& dn, std::string* parent, std::string* rdn_value, CBVKError& error) {
  std::string work = dn;
  ReplaceAll(work, ",cn=", ",CN=");
  ReplaceAll(work, ",ou=", ",OU=");
  std::size_t comma = work.find(",CN=");
  if (comma == std::string::npos) comma = work.find(",OU=");
  if (comma == std::string::npos) {
    error.SetText("The distinguished name '" + dn + "' does not appear to be valid.");
    return false;
  }
  std::string rdn = work.substr(0, comma);
  *rdn_value = rdn.size() > 3 ? rdn.substr(3) : std::string();
  *parent = work.substr(comma + 1);
  return true;
}

std::string DNToDomainName(const std::string& dn) {
  std::string name = dn;
  ReplaceAll(name, ",DC=", ".");
  ReplaceAll(name, "DC=", "");
  return name;
}

std::string GuidDigits(const std::string& guid_text) {
  std::string digits;
  for (char c : guid_text) {
    if (c == '{' || c == '}' || c == '-') continue;
    digits += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return digits;
}

std::string EqualityFilter(const std::string& attribute, const std::string& value) {
  return "(" + attribute + "=" + ds::EscapeFilterValue(value) + ")";
}

}  // namespace tessary
