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

// Writes the subtree at base_dn, leaving out the subtrees at the DNs of skip (other naming
// contexts, dumped on their own); objects counts the content records written. Fails with a
// sentence naming the object that could not be read and the directory's explanation.
[[nodiscard]] bool DumpSubtree(ds::Directory& directory, const AttributeSyntaxes& syntaxes,
                               const std::string& base_dn, const std::vector<std::string>& skip,
                               ds::LdifWriter& writer, int* objects, std::string* error);

// The naming contexts of the directory (domains, configuration, schema), from RootDSE.
[[nodiscard]] bool NamingContexts(ds::Directory& directory, std::vector<std::string>* dns,
                                  std::string* error);

}  // namespace tessary::tools
