#include "setup/background.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string_view>
#include <utility>

#include "platform/resource_module.h"

namespace tessary::setup {

int GradientSteps(bool bright) { return bright ? 255 : 192; }

BandColour GradientBand(int scheme, int band, int steps) {
  const int i = band;
  const int c = steps - 1 - band;  // the count-down of the bands still to come
  BandColour colour;
  switch (scheme) {
    case 0:
      colour = {i, 0, 0};
      break;
    case 2:
      colour = {c, c, 0};
      break;
    case 3:
      colour = {0, c, 0};
      break;
    case 4:
      colour = {0, 0, i};
      break;
    case 5:
      colour = {i, 0, i};
      break;
    case 6:
      colour = {200, i, i / 2};
      break;
    default:
      colour = {i + 28, i + 28, i + 28};
      break;
  }
  auto clamp = [](int value) { return std::clamp(value, 0, 255); };
  return {clamp(colour.red), clamp(colour.green), clamp(colour.blue)};
}

std::optional<std::string> LoadProductPicture(const std::string& folder) {
  std::ifstream in(folder + "Product.dat", std::ios::binary);
  std::ostringstream read;
  if (!in || !(read << in.rdbuf())) return std::nullopt;
  std::string bytes = std::move(read).str();
  for (std::string_view magic : {"\x89PNG\r\n\x1a\n", "\xff\xd8\xff", "GIF8", "BM"}) {
    if (bytes.starts_with(magic)) return bytes;
  }
  return platform::FindBitmapResource(bytes, kProductBitmapId);
}

}  // namespace tessary::setup
