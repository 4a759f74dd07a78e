#pragma once
// The names that "tessary --class" accepts, as "tessary-directory classes" prints them for the
// shell's completion and for anyone choosing a class: the admin display name of every class of
// the directory's schema.

#include <iosfwd>
#include <string>

#include "directory/ds/directory.h"

namespace tessary::tools {

// Writes the admin display names of the schema's classes, one a line, sorted, each once.
// Fails with a sentence and the directory's explanation when the schema cannot be read.
[[nodiscard]] bool WriteClassNames(ds::Directory& directory, std::ostream& out, std::string* error);

}  // namespace tessary::tools
