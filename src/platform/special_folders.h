#pragma once
// The standard folders setup needs, as they stand on Linux. Machine-wide folders move below
// BRENVIK_ROOT when it is set, as everything machine-wide does (machine_paths.h); each folder
// text ends with "/".

#include <optional>
#include <string>

namespace tessary::platform {

// The Windows folder: /var/lib/brenvik/windows/.
std::string WindowsFolder();
// The system folder: the Windows folder's system32/.
std::string SystemFolder();
// The temporary folder: TMPDIR, else /tmp/.
std::string TemporaryFolder();

// A new folder in the temporary folder that only its owner may enter, named prefix + six
// random characters, with "/" at the end; nothing when it cannot be made.
std::optional<std::string> MakePrivateTemporaryFolder(const std::string& prefix);

// A server share "\\server\rest" as the automounter shows it: /net/server/rest.
std::string NetworkShareFolder(const std::string& server, const std::string& rest);

// The Programs menu: all users (/usr/local/share/applications/) or the user's own
// ($XDG_DATA_HOME/applications/). Nothing when the folder cannot be found: for all users, when
// neither it nor the nearest folder above it may be written.
enum class ProgramsScope { kAllUsers, kCurrentUser };
std::optional<std::string> ProgramsFolder(ProgramsScope scope);

}  // namespace tessary::platform
