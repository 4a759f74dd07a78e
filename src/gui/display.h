#pragma once
// Whether this process may open windows at all: only when the session names a display.

namespace tessary::gui {

// True when DISPLAY or WAYLAND_DISPLAY is set and not empty. Without one nothing may try to
// open a window: the programs stay on the terminal.
bool HasDisplay();

}  // namespace tessary::gui
