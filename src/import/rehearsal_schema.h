#pragma once
// The schema a rehearsal's copy has (the embedded directory's own) set against the server's for
// the attributes an import file names: what each says about single values, syntax and value
// range, read from the attributeSchema entries of both in one search each.

#include <string>
#include <vector>

#include "directory/ds/directory.h"
#include "support/bvk_error.h"

namespace tessary {

struct SchemaComparison {
  // Attributes the server knows and the copy does not: the copy cannot take the file.
  std::vector<std::string> missing;
  // One sentence per attribute whose definition differs.
  std::vector<std::string> differences;
};

// Compares the attributeSchema entries named by lDAPDisplayName in both directories. Fails, with
// the message in error, when either schema cannot be searched.
[[nodiscard]] bool CompareAttributeSchemas(ds::Directory& server, ds::Directory& copy,
                                           const std::vector<std::string>& names,
                                           SchemaComparison* comparison, CBVKError& error);

}  // namespace tessary
