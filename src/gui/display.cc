#include "gui/display.h"

#include <cstdlib>

namespace tessary::gui {
namespace {
bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}
}  // namespace

bool HasDisplay() { return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY"); }

}  // namespace tessary::gui
