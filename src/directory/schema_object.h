#pragma once
// One entry of the directory schema (an attribute or a class) as the schema lists hold it.

#include <string>
#include <vector>

#include "directory/ds/directory.h"
#include "support/bvk_error.h"

namespace tessary {

class CBVKADSchemaObject {
 public:
  CBVKError& Error() { return error_; }
  const CBVKError& Error() const { return error_; }

  // The optional, then the mandatory attribute names of the class named LDAPDisplayName. Fails
  // when the class cannot be bound or either list cannot be read.
  [[nodiscard]] bool GetClassProperties(ds::Directory& directory, std::vector<std::string>* names);
  // Fills AdminDisplayName and SchemaDN of the entry whose LDAPDisplayName is set; fails when
  // the schema has no such entry or the entry lacks either value.
  [[nodiscard]] bool CompleteFromDirectory(ds::Directory& directory,
                                           const std::string& schema_naming_context);

  std::string LDAPDisplayName;
  std::string AdminDisplayName;
  std::string SchemaDN;

 private:
  CBVKError error_;
};

}  // namespace tessary
