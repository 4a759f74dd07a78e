#pragma once
// Where this machine's and this user's files live; tests move them all below a temporary folder
// through BRENVIK_ROOT, HOME and the XDG variables.

#include <filesystem>

namespace tessary::platform {

// BRENVIK_ROOT when set and not empty (every machine-wide path goes below it, as DESTDIR), else
// "/".
std::filesystem::path MachineRoot();
// A machine-wide absolute path ("/var/lib/brenvik") placed below MachineRoot().
std::filesystem::path MachinePath(const std::filesystem::path& absolute);
// ${XDG_CONFIG_HOME:-$HOME/.config} and ${XDG_DATA_HOME:-$HOME/.local/share}; HOME falls back
// to the password database.
std::filesystem::path UserConfigHome();
std::filesystem::path UserDataHome();

}  // namespace tessary::platform
