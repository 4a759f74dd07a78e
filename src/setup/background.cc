#include "setup/background.h"

#include <algorithm>
#include <fstream>

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

std::optional<std::string> ProductPicture(const std::string& folder) {
  const std::string path = folder + "Product.dat";
  std::ifstream in(path, std::ios::binary);
  std::string head(8, '\0');
  if (!in.read(head.data(), static_cast<std::streamsize>(head.size()))) return std::nullopt;
  for (const char* magic : {"\x89PNG\r\n\x1a\n", "\xff\xd8\xff", "GIF8", "BM"}) {
    if (head.compare(0, std::string(magic).size(), magic) == 0) return path;
  }
  return std::nullopt;
}

}  // namespace tessary::setup
