#include "directory/ds/ads_path.h"

#include <cctype>

#include "directory/ds/dn.h"

namespace tessary::ds {
namespace {

constexpr std::string_view kPrefix = "LDAP://";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         AsciiLower(text.substr(0, prefix.size())) == AsciiLower(prefix);
}

// Accepts 32 hex digits, optionally in braces and grouped by dashes.
bool NormaliseGuid(std::string_view text, std::string* hex) {
  hex->clear();
  for (char c : text) {
    if (c == '{' || c == '}' || c == '-') continue;
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    hex->push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  }
  return hex->size() == 32;
}

bool IsDnsName(std::string_view text) {
  if (text.empty() || text.front() == '.' || text.back() == '.') return false;
  for (char c : text) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '.') return false;
  }
  return true;
}

}  // namespace

HRESULT ParseAdsPath(const std::string& path, AdsPath* parsed) {
  if (!StartsWithNoCase(path, kPrefix)) return E_ADS_BAD_PATHNAME;
  std::string_view rest = std::string_view(path).substr(kPrefix.size());
  if (rest.empty()) return E_ADS_BAD_PATHNAME;
  if (AsciiLower(rest) == "rootdse") {
    *parsed = {AdsPath::Kind::kRootDse, ""};
    return S_OK;
  }
  if (StartsWithNoCase(rest, "<GUID=")) {
    if (rest.back() != '>') return E_ADS_BAD_PATHNAME;
    std::string hex;
    if (!NormaliseGuid(rest.substr(6, rest.size() - 7), &hex)) return E_ADS_BAD_PATHNAME;
    *parsed = {AdsPath::Kind::kGuid, hex};
    return S_OK;
  }
  if (StartsWithNoCase(rest, "schema/")) {
    std::string_view name = rest.substr(7);
    if (name.empty() || name.find('/') != std::string_view::npos) return E_ADS_BAD_PATHNAME;
    *parsed = {AdsPath::Kind::kSchemaClass, std::string(name)};
    return S_OK;
  }
  if (rest.find('=') == std::string_view::npos) {
    if (!IsDnsName(rest)) return E_ADS_BAD_PATHNAME;
    *parsed = {AdsPath::Kind::kDomainName, AsciiLower(rest)};
    return S_OK;
  }
  std::vector<Rdn> rdns;
  if (!ParseDn(rest, &rdns)) return E_ADS_BAD_PATHNAME;
  *parsed = {AdsPath::Kind::kDn, std::string(rest)};
  return S_OK;
}

std::string AdsPathOfDn(const std::string& dn) { return std::string(kPrefix) + dn; }

}  // namespace tessary::ds
