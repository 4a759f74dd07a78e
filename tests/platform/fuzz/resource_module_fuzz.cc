// libFuzzer target for the resource module reader: whatever bitmap it finds must lie inside the
// input and come back as a .bmp whose header agrees with the resource it was made from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/resource_module.h"

namespace {

std::uint32_t LittleEndian32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view module(reinterpret_cast<const char*>(data), size);
  using tessary::platform::kResourceTypeBitmap;
  const auto dib = tessary::platform::FindResource(module, kResourceTypeBitmap, 1000);
  const auto file = tessary::platform::FindBitmapResource(module, 1000);
  if (!dib) {
    if (file) std::abort();
    return 0;
  }
  if (dib->data() < module.data() || dib->data() + dib->size() > module.data() + module.size()) {
    std::abort();
  }
  if (!file) return 0;  // a resource whose DIB is not whole
  if (file->size() != 14 + dib->size() || file->compare(0, 2, "BM") != 0) std::abort();
  if (LittleEndian32(*file, 2) != file->size() || LittleEndian32(*file, 6) != 0) std::abort();
  const std::uint32_t pixels = LittleEndian32(*file, 10);
  if (pixels < 14 + 12 || pixels > file->size()) std::abort();
  if (std::string_view(*file).substr(14) != *dib) std::abort();
  return 0;
}
