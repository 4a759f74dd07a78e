#pragma once
// Runs one directory read that may take a while (connecting, enumerating classes, attributes,
// containers or domains) behind the small progress dialog, template 210, on a worker thread.

#include <functional>
#include <string>

#include "platform/ui/progress_host.h"

namespace tessary {

// The small progress dialog: no status line of its own (its one static text carries the
// status), the animation clip 164.
inline constexpr int kEnumerationTemplateId = 210;
inline constexpr int kEnumerationClipId = 164;

// Shows the status text and runs work on a worker thread while the dialog is up; true when the
// work succeeded. The work leaves any message in its own object's error record; the caller shows
// it afterwards, on the user-interface thread.
[[nodiscard]] bool RunEnumeration(platform::ProgressHost& host, const platform::Window* parent,
                                  const std::string& status, const std::function<bool()>& work);

}  // namespace tessary
