#pragma once
// Shell links as the Linux desktop knows them: a freedesktop .desktop file (Type=Application)
// whose Exec starts the target, named and described as the link was.

#include <cstdint>
#include <string>

namespace tessary::platform {

// The .desktop text for a target. A target that is not executable opens with xdg-open.
std::string DesktopEntryText(const std::string& target, const std::string& name,
                             const std::string& description);

// Writes the entry at link_path (replacing it); its Name is the link's file name without its
// extension. Returns 0 or the Win32 code of the failure.
std::uint32_t CreateDesktopShortcut(const std::string& target, const std::string& link_path,
                                    const std::string& description);

}  // namespace tessary::platform
