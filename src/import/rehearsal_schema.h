#pragma once
// The schema a rehearsal's copy has (the embedded directory's own, with the server's definitions
// of the file's attributes it lacks) set against the server's for the attributes an import file
// names: what each says about single values, syntax and value range, read from the
// attributeSchema entries of both in one search each.

#include <string>
#include <vector>

#include "directory/ds/directory.h"
#include "directory/ds/embedded/schema_definition.h"
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

// Adds to schema (the copy's, before it is made) the server's definitions of the named attributes
// it lacks, each allowed on the copy's classes that hold it on the server: directly, or through
// an auxiliary class the copy lacks. Linked attributes are left out (their partners would have to
// come too). *unplaced gets those added that no class of the copy holds: the copy refuses them
// where the server may not. Fails, with the message in error, when the server's schema cannot be
// searched.
[[nodiscard]] bool AddServerAttributes(ds::Directory& server, const std::vector<std::string>& names,
                                       ds::embedded::SchemaDefinition* schema,
                                       std::vector<std::string>* unplaced, CBVKError& error);

}  // namespace tessary
