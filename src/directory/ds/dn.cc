#include "directory/ds/dn.h"

#include "support/unicode_fold.h"

#include <cctype>

namespace tessary::ds {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// RFC 4514 attribute types: a name (a letter, then letters, digits and hyphens) or an OID.
bool ValidType(std::string_view type) {
  if (type.empty()) return false;
  bool oid = type[0] >= '0' && type[0] <= '9';
  if (!oid && !std::isalpha(static_cast<unsigned char>(type[0]))) return false;
  for (char c : type) {
    bool ok = oid ? (c >= '0' && c <= '9') || c == '.'
                  : std::isalnum(static_cast<unsigned char>(c)) || c == '-';
    if (!ok) return false;
  }
  return true;
}

std::string Trim(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  return std::string(text.substr(begin, end - begin));
}

}  // namespace

std::string EscapeFilterValue(std::string_view value) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string escaped;
  for (char c : value) {
    if (c == '*' || c == '(' || c == ')' || c == '\\' || c == '\0') {
      auto u = static_cast<unsigned char>(c);
      escaped += '\\';
      escaped += kHex[u >> 4];
      escaped += kHex[u & 15];
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

bool AsciiCaselessEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool ParseDn(std::string_view dn, std::vector<Rdn>* rdns) {
  rdns->clear();
  if (dn.empty()) return false;
  std::size_t i = 0;
  while (true) {
    Rdn rdn;
    std::size_t equals = i;
    while (equals < dn.size() && dn[equals] != '=' && dn[equals] != ',') ++equals;
    if (equals >= dn.size() || dn[equals] != '=') return false;
    rdn.type = Trim(dn.substr(i, equals - i));
    if (!ValidType(rdn.type)) return false;
    i = equals + 1;
    while (i < dn.size() && dn[i] == ' ') ++i;
    // Spaces that end the value are insignificant unless escaped: track the last escaped length.
    std::size_t significant = 0;
    while (i < dn.size() && dn[i] != ',') {
      char c = dn[i];
      if (c == '+') return false;
      if (c == '\\') {
        if (i + 1 >= dn.size()) return false;
        int high = HexDigit(dn[i + 1]);
        int low = i + 2 < dn.size() ? HexDigit(dn[i + 2]) : -1;
        if (high >= 0 && low >= 0) {
          rdn.value.push_back(static_cast<char>(high * 16 + low));
          i += 3;
        } else {
          rdn.value.push_back(dn[i + 1]);
          i += 2;
        }
        significant = rdn.value.size();
        continue;
      }
      rdn.value.push_back(c);
      if (c != ' ') significant = rdn.value.size();
      ++i;
    }
    rdn.value.resize(significant);
    rdns->push_back(std::move(rdn));
    if (i >= dn.size()) break;
    ++i;  // the separating comma
    if (i >= dn.size()) return false;
  }
  return true;
}

std::string EscapeRdnValue(std::string_view value) {
  std::string escaped;
  escaped.reserve(value.size() + 4);
  for (std::size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    bool special = c == ',' || c == '+' || c == '"' || c == '\\' || c == '<' || c == '>' ||
                   c == ';' || c == '=';
    if ((i == 0 && (c == '#' || c == ' ')) || (i + 1 == value.size() && c == ' ')) special = true;
    if (special) escaped.push_back('\\');
    if (c == '\n' || c == '\r') {
      static const char kHex[] = "0123456789ABCDEF";
      escaped.push_back('\\');
      escaped.push_back(kHex[(c >> 4) & 0xF]);
      escaped.push_back(kHex[c & 0xF]);
      continue;
    }
    escaped.push_back(c);
  }
  return escaped;
}

std::string FormatRdn(const Rdn& rdn) { return rdn.type + "=" + EscapeRdnValue(rdn.value); }

std::string FormatDn(const std::vector<Rdn>& rdns) {
  std::string dn;
  for (const Rdn& rdn : rdns) {
    if (!dn.empty()) dn.push_back(',');
    dn += FormatRdn(rdn);
  }
  return dn;
}

std::string DnKey(std::string_view dn) {
  std::vector<Rdn> rdns;
  if (!ParseDn(dn, &rdns)) return {};
  for (Rdn& rdn : rdns) {
    rdn.type = AsciiLower(rdn.type);
    rdn.value = FoldCase(rdn.value);
  }
  return FormatDn(rdns);
}

}  // namespace tessary::ds
