#include "setup/background.h"

#include <algorithm>

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

}  // namespace tessary::setup
