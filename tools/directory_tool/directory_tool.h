#pragma once
// tessary-directory: administers the embedded directory (provision, load, dump, info, and the
// schema's names: classes, attributes). The commands write their results to out and their
// failures to err, so tests capture both.

#include <iosfwd>
#include <string>
#include <vector>

namespace tessary::tools {

// Exit statuses of the tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 2;  // bad usage or a failed command

// Runs the tool with args (without the program name); returns the exit status.
int RunDirectoryTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tessary::tools
