#pragma once
// The summary that "tessary-directory info" prints: the file, the forest's domains, how many
// objects of each kind the domains hold, and the size of the schema.

#include <iosfwd>
#include <string>

#include "directory/ds/directory.h"

namespace tessary::tools {

// Writes the summary of the directory. Fails with a sentence and the directory's explanation
// when a search fails.
[[nodiscard]] bool WriteDirectoryInfo(ds::Directory& directory, std::ostream& out,
                                      std::string* error);

}  // namespace tessary::tools
