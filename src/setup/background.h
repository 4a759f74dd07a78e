#pragma once
// The main window's look: the background of horizontal bands whose colour follows the scheme
// the product code chose, and the product's picture.

#include <cstdint>
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

// The bitmap resource of a product module that is its picture.
inline constexpr std::uint32_t kProductBitmapId = 1000;

// The picture for the main window as the bytes of a whole image file, from the folder's
// "Product.dat": the file itself when it is an image (PNG, JPEG, GIF or BMP), or a .bmp made
// from bitmap kProductBitmapId when it is a Windows resource module. Nothing when the file is
// missing, unreadable or neither; none of these is an error.
std::optional<std::string> LoadProductPicture(const std::string& folder);

}  // namespace tessary::setup
