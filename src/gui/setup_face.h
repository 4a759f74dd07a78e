#pragma once
// setup under a display: its main window and pages on the user-interface thread, the stages on
// a thread of their own that asks them.

#include <string>

namespace tessary::gui {

// Runs setup for the command line with its window; returns the process's exit status.
int RunSetupFace(const std::string& command_line);

}  // namespace tessary::gui
