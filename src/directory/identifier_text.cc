#include "directory/identifier_text.h"

#include <cctype>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>

namespace tessary {
namespace {

constexpr std::size_t kMaxSubAuthorities = 15;
constexpr std::uint64_t kMaxAuthority = 0xFFFFFFFFFFFFull;

// Parses a run of decimal digits (or "0x" + hex digits when allowed) that must fill `part`.
std::optional<std::uint64_t> ParseNumber(const std::string& part, bool hex_allowed,
                                         std::uint64_t max) {
  int base = 10;
  std::string digits = part;
  if (hex_allowed && (part.rfind("0x", 0) == 0 || part.rfind("0X", 0) == 0)) {
    base = 16;
    digits = part.substr(2);
  }
  if (digits.empty() || digits.size() > 20) return std::nullopt;
  for (char c : digits) {
    bool ok = base == 10 ? (c >= '0' && c <= '9') : std::isxdigit(static_cast<unsigned char>(c));
    if (!ok) return std::nullopt;
  }
  errno = 0;
  char* end = nullptr;
  unsigned long long value = std::strtoull(digits.c_str(), &end, base);
  if (errno != 0 || *end != '\0' || value > max) return std::nullopt;
  return value;
}

}  // namespace

std::optional<std::string> SidToText(const std::vector<std::uint8_t>& sid) {
  if (sid.size() < 8) return std::nullopt;
  std::size_t count = sid[1];
  if (sid[0] != 1 || count > kMaxSubAuthorities || sid.size() != 8 + 4 * count) {
    return std::nullopt;
  }
  std::uint64_t authority = 0;
  for (int i = 2; i < 8; ++i) authority = (authority << 8) | sid[i];
  char buffer[32];
  // Authorities that do not fit 32 bits are written in hexadecimal, as Windows writes them.
  if (authority >> 32) {
    std::snprintf(buffer, sizeof buffer, "0x%012" PRIX64, authority);
  } else {
    std::snprintf(buffer, sizeof buffer, "%" PRIu64, authority);
  }
  std::string text = "S-1-";
  text += buffer;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* p = &sid[8 + 4 * i];
    std::uint32_t sub =
        p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    text += '-';
    text += std::to_string(sub);
  }
  return text;
}

std::optional<std::vector<std::uint8_t>> TextToSid(const std::string& text) {
  if (text.size() < 2 || (text[0] != 'S' && text[0] != 's') || text[1] != '-') return std::nullopt;
  std::vector<std::string> parts;
  std::size_t start = 2;
  for (;;) {
    std::size_t dash = text.find('-', start);
    parts.push_back(
        text.substr(start, dash == std::string::npos ? std::string::npos : dash - start));
    if (dash == std::string::npos) break;
    start = dash + 1;
  }
  if (parts.size() < 2 || parts.size() - 2 > kMaxSubAuthorities) return std::nullopt;
  auto revision = ParseNumber(parts[0], false, 0xFF);
  auto authority = ParseNumber(parts[1], true, kMaxAuthority);
  if (!revision || *revision != 1 || !authority) return std::nullopt;
  std::vector<std::uint8_t> sid;
  sid.push_back(1);
  sid.push_back(static_cast<std::uint8_t>(parts.size() - 2));
  for (int shift = 40; shift >= 0; shift -= 8) sid.push_back((*authority >> shift) & 0xFF);
  for (std::size_t i = 2; i < parts.size(); ++i) {
    auto sub = ParseNumber(parts[i], false, 0xFFFFFFFFull);
    if (!sub) return std::nullopt;
    for (int shift = 0; shift < 32; shift += 8) sid.push_back((*sub >> shift) & 0xFF);
  }
  return sid;
}

std::optional<std::string> GuidBytesToText(const std::vector<std::uint8_t>& guid) {
  if (guid.size() != 16) return std::nullopt;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text = "{";
  for (std::size_t i = 0; i < guid.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
    text += kHex[guid[i] >> 4];
    text += kHex[guid[i] & 0xF];
  }
  return text + "}";
}

}  // namespace tessary
