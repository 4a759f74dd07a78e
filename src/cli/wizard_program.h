#pragma once
// The wizard's desktop face is a program of its own, so that the commands never load the window
// libraries: `tessary` hands the process over to it when it starts the wizard on a display.

#include <string>

namespace tessary::cli {

// Replaces this process with the wizard program, passing argv on. It is looked for beside the
// running program (a build tree) and in ../libexec/tessary/ from its folder (an installation).
// Returns only when it could not be started, with the reason in *error.
void StartWizardProgram(char** argv, std::string* error);

}  // namespace tessary::cli
