#pragma once
// Whether this process may open windows: only when the session names a display server and that
// server takes a connection. A window library that finds the server gone ends the process, so the
// programs ask first and stay on the terminal without one.

namespace tessary::platform {

// True when WAYLAND_DISPLAY or DISPLAY names a display server that accepts a connection now:
// a Wayland socket (an absolute path, or a name in XDG_RUNTIME_DIR), or an X server at
// [host]:number (a local socket for no host or "unix", TCP port 6000 + number otherwise).
// Unset, empty, malformed or unreachable: false.
bool HasDisplay();

}  // namespace tessary::platform
