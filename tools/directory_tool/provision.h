#pragma once
// Provisioning a domain in an embedded directory file, as the tool offers it.

#include <string>

#include "directory/ds/embedded/schema_definition.h"

namespace tessary::tools {

// "example.com" gives "DC=example,DC=com". False for a name that is not a DNS domain name of at
// least two labels (letters, digits and inner hyphens, 63 characters at most each).
[[nodiscard]] bool DomainDnOf(const std::string& dns_name, std::string* dn);

// Creates the domain in the file at path (and the file, with the schema, when it does not
// exist). Fails with the embedded directory's message naming the file or the domain.
[[nodiscard]] bool ProvisionDomainInFile(const std::string& path, const std::string& dns_name,
                                         const ds::embedded::SchemaDefinition& schema,
                                         std::string* error);

}  // namespace tessary::tools
