#pragma once
// The folder that holds the schema cache, the definition files and the operations log.

#include <string>

namespace tessary::platform {

// The "Path" value of HKEY_LOCAL_MACHINE
// SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Brenvik (recorded by setup) with a
// trailing '/'; when there is none, ${XDG_DATA_HOME:-$HOME/.local/share}/brenvik/, created on
// first use. Never fails: a folder that cannot be created is still returned, and the first
// file operation in it reports the problem.
std::string ProgramFolder();

// Where an installed copy keeps the files it ships (the help page): share/tessary/ beside the
// bin/ folder of the running program, with a trailing '/'. Empty when the program's own path
// cannot be read.
std::string InstalledDataFolder();

}  // namespace tessary::platform
