#pragma once
// The main window's background: horizontal bands from top to bottom whose colour follows the
// scheme the product code chose.

namespace tessary::setup {

struct BandColour {
  int red = 0;
  int green = 0;
  int blue = 0;
  bool operator==(const BandColour&) const = default;
};

// Steps over the window's height: 192, or 255 for the bright variant.
int GradientSteps(bool bright);

// The colour of band i (0 at the top) of the given number of steps; schemes outside 0 to 6 are
// the default grey. Components never leave 0 to 255.
BandColour GradientBand(int scheme, int band, int steps);

}  // namespace tessary::setup
