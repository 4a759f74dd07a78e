#include "directory/ds/embedded/sid.h"

#include <sys/random.h>

#include <charconv>
#include <vector>

namespace tessary::ds::embedded {
namespace {

void RandomBytes(std::uint8_t* out, std::size_t length) {
  std::size_t filled = 0;
  while (filled < length) {
    ssize_t got = getrandom(out + filled, length - filled, 0);
    if (got > 0) filled += static_cast<std::size_t>(got);
  }
}

std::uint32_t RandomSubAuthority() {
  std::uint8_t bytes[4];
  RandomBytes(bytes, sizeof bytes);
  // Real domain sub-authorities are large numbers; keep them clear of the well-known ranges.
  return 0x10000000u |
         (static_cast<std::uint32_t>(bytes[0]) << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3]) %
             0x6FFFFFFFu;
}

void AppendLittleEndian(std::uint32_t value, Bytes* out) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

Bytes NewDomainSid() {
  Bytes sid = {1, 4, 0, 0, 0, 0, 0, 5};
  AppendLittleEndian(21, &sid);
  for (int i = 0; i < 3; ++i) AppendLittleEndian(RandomSubAuthority(), &sid);
  return sid;
}

Bytes AccountSid(const Bytes& domain_sid, std::uint32_t rid) {
  Bytes sid = domain_sid;
  sid[1] = static_cast<std::uint8_t>(sid[1] + 1);
  AppendLittleEndian(rid, &sid);
  return sid;
}

bool IsValidSid(const Bytes& sid) {
  return sid.size() >= 8 && sid[0] == 1 && sid[1] <= 15 && sid.size() == 8u + 4u * sid[1];
}

std::optional<std::string> SidText(const Bytes& sid) {
  if (!IsValidSid(sid)) return std::nullopt;
  std::uint64_t authority = 0;
  for (int i = 2; i < 8; ++i) authority = authority << 8 | sid[i];
  std::string text = "S-1-" + std::to_string(authority);
  for (int i = 0; i < sid[1]; ++i) {
    std::size_t at = 8 + 4 * static_cast<std::size_t>(i);
    std::uint32_t sub = static_cast<std::uint32_t>(sid[at]) | sid[at + 1] << 8 | sid[at + 2] << 16 |
                        static_cast<std::uint32_t>(sid[at + 3]) << 24;
    text += "-" + std::to_string(sub);
  }
  return text;
}

std::optional<Bytes> SidFromText(const std::string& text) {
  if (text.size() < 4 || (text[0] != 'S' && text[0] != 's') || text[1] != '-') return std::nullopt;
  std::vector<std::uint64_t> parts;
  const char* p = text.data() + 2;
  const char* end = text.data() + text.size();
  while (p < end) {
    std::uint64_t number = 0;
    auto [next, ec] = std::from_chars(p, end, number);
    if (ec != std::errc() || next == p) return std::nullopt;
    parts.push_back(number);
    p = next;
    if (p < end) {
      if (*p != '-' || p + 1 == end) return std::nullopt;
      ++p;
    }
  }
  if (parts.size() < 2 || parts[0] != 1 || parts.size() - 2 > 15) return std::nullopt;
  if (parts[1] > 0xFFFFFFFFFFFFull) return std::nullopt;
  Bytes sid = {1, static_cast<std::uint8_t>(parts.size() - 2)};
  for (int i = 5; i >= 0; --i) sid.push_back(static_cast<std::uint8_t>(parts[1] >> (8 * i)));
  for (std::size_t i = 2; i < parts.size(); ++i) {
    if (parts[i] > 0xFFFFFFFFu) return std::nullopt;
    AppendLittleEndian(static_cast<std::uint32_t>(parts[i]), &sid);
  }
  return sid;
}

Bytes NewGuid() {
  Bytes guid(16);
  RandomBytes(guid.data(), guid.size());
  guid[7] = static_cast<std::uint8_t>((guid[7] & 0x0F) | 0x40);  // version 4 (stored little-endian)
  guid[8] = static_cast<std::uint8_t>((guid[8] & 0x3F) | 0x80);
  return guid;
}

}  // namespace tessary::ds::embedded
