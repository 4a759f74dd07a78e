#pragma once
// The text of an install script as its makers save it: plain 8-bit text, UTF-8 with or without a
// byte-order mark, or UTF-16 with its mark (what some editors write by default). Everything
// becomes UTF-8 lines before the keywords are read, and a script whose naming lines cannot be
// read is caught before anything is installed.

#include <optional>
#include <string>
#include <vector>

#include "setup/install_script.h"

namespace tessary::setup {

// The lines of a script's bytes: a leading UTF-8 byte-order mark is dropped, UTF-16 with its
// mark (either byte order) becomes UTF-8; a line ends at LF, and a CR before it is dropped.
// Nothing when UTF-16 text is broken (an odd byte count or a lone surrogate).
std::optional<std::vector<std::string>> ScriptLines(const std::string& bytes);

// The first line that holds a PROD or CODE keyword that the reader cannot see: behind NUL bytes
// (UTF-16 without its mark), a byte-order mark or blanks. Nothing when every such line reads.
std::optional<std::string> UnreadableNamingLine(const std::vector<std::string>& lines);

// The first name of the script that would lead outside the folder it is put in: ".." or an
// absolute path in a sub-folder, file, copy or removal-only name, or a "/" in the product name,
// product code or a shortcut name. Nothing when every name stays inside.
std::optional<std::string> NameLeavingItsFolder(const InstallScript& script);

}  // namespace tessary::setup
