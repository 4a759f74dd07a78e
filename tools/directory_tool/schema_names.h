#pragma once
// The names of the schema that tessary's options take, as "tessary-directory classes" and
// "tessary-directory attributes" print them for the shell's completion and for anyone choosing:
// the admin display name of every class (what --class matches) and the LDAP display name of
// every attribute (what --attributes lists).

#include <iosfwd>
#include <string>

#include "directory/ds/directory.h"

namespace tessary::tools {

// Writes the admin display names of the schema's classes, one a line, sorted, each once.
// Fails with a sentence and the directory's explanation when the schema cannot be read.
[[nodiscard]] bool WriteClassNames(ds::Directory& directory, std::ostream& out, std::string* error);

// The same for the LDAP display names of the schema's attributes.
[[nodiscard]] bool WriteAttributeNames(ds::Directory& directory, std::ostream& out,
                                       std::string* error);

}  // namespace tessary::tools
