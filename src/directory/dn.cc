#include "directory/dn.h"

#include <cctype>
#include <cstdio>
#include <utility>

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

// The characters a DN escapes, in the order the escapes are removed and added again; the
// backslash comes first so that the escapes added later are not doubled.
constexpr const char* kSpecials[] = {"\\", "/", "#", ",", "+", ";", "<", "=", ">", "\""};

}  // namespace

void NormalizeDN(std::string& path) {
  if (StartsWith(path, "/o=") || StartsWith(path, "/O=") || StartsWith(path, "<GUID")) return;
  ReplaceAll(path, "cn=", "CN=");
  ReplaceAll(path, "ou=", "OU=");
  ReplaceAll(path, "dc=", "DC=");
  if (!StartsWith(path, "CN=") && !StartsWith(path, "OU=") && !StartsWith(path, "DC=")) return;
  for (const char* special : kSpecials) ReplaceAll(path, std::string("\\") + special, special);
  for (const char* special : kSpecials) ReplaceAll(path, special, std::string("\\") + special);
  for (const char* type : {"CN", "OU", "DC"}) {
    ReplaceAll(path, std::string(type) + "\\=", std::string(type) + "=");
  }
  for (const char* type : {"CN", "OU", "DC"}) {
    ReplaceAll(path, std::string("\\,") + type + "=", std::string(",") + type + "=");
  }
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

std::string EscapeFilterValue(const std::string& value) {
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    if (c == '*' || c == '(' || c == ')' || c == '\\' || c == '\0') {
      char hex[4];
      std::snprintf(hex, sizeof hex, "\\%02x", static_cast<unsigned char>(c));
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

std::string EqualityFilter(const std::string& attribute, const std::string& value) {
  return "(" + attribute + "=" + EscapeFilterValue(value) + ")";
}

}  // namespace tessary
