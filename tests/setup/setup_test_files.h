#pragma once
// Small files for setup's tests: bytes that carry a fixed version block.

#include <cstdint>
#include <string>

namespace tessary::setup::testing {

// A fixed version block (signature 0xFEEF04BD) holding the file version a.b.c.d.
inline std::string VersionedBytes(std::uint16_t a, std::uint16_t b, std::uint16_t c,
                                  std::uint16_t d) {
  std::string block(52, '\0');
  auto put = [&block](std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) block[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  put(0, 0xFEEF04BDu);
  put(4, 0x00010000u);
  put(8, (static_cast<std::uint32_t>(a) << 16) | b);
  put(12, (static_cast<std::uint32_t>(c) << 16) | d);
  return "VS_VERSION_INFO" + block;
}

}  // namespace tessary::setup::testing
