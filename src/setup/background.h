#pragma once
// The main window's look: the background of horizontal bands whose colour follows the scheme
// the product code chose, and the product's picture.

#include <optional>
#include <string>

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

// The picture for the main window: the folder's "Product.dat" when it is an image (PNG, JPEG,
// GIF or BMP). Nothing when it is missing or not a picture; neither is an error.
std::optional<std::string> ProductPicture(const std::string& folder);

}  // namespace tessary::setup
