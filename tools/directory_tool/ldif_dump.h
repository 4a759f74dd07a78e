#pragma once
// Writes a directory subtree as LDIF. Objects come as content records, parents before children;
// the forward-linked attributes (member, manager, ...) follow all objects as modify records, so
// that a dump loads back in one pass whatever order its objects come in.

#include <string>
#include <vector>

#include "attribute_syntaxes.h"
#include "directory/ds/directory.h"
#include "directory/ds/ldif.h"

namespace tessary::tools {

// Writes the subtree at base_dn; objects counts the content records written. Fails with a
// sentence naming the object that could not be read and the directory's explanation.
[[nodiscard]] bool DumpSubtree(ds::Directory& directory, const AttributeSyntaxes& syntaxes,
                               const std::string& base_dn, ds::LdifWriter& writer, int* objects,
                               std::string* error);

// The naming contexts that hold the whole directory, none below another (the schema lies below
// the configuration): read from RootDSE.
[[nodiscard]] bool TopNamingContexts(ds::Directory& directory, std::vector<std::string>* dns,
                                     std::string* error);

}  // namespace tessary::tools
