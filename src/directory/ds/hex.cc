#include "directory/ds/hex.h"

#include <charconv>

namespace tessary::ds {

std::string HexOf(const Bytes& bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (std::uint8_t b : bytes) {
    hex.push_back(kHex[b >> 4]);
    hex.push_back(kHex[b & 0xF]);
  }
  return hex;
}

Bytes BytesOfHex(std::string_view hex) {
  if (hex.size() % 2 != 0) return {};
  Bytes bytes;
  bytes.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    unsigned int value = 0;
    auto [next, ec] = std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
    if (ec != std::errc() || next != hex.data() + i + 2) return {};
    bytes.push_back(static_cast<std::uint8_t>(value));
  }
  return bytes;
}

}  // namespace tessary::ds
