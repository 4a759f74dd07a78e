#pragma once
// The schema container's classSchema and attributeSchema objects and the SchemaDefinition they
// stand for, in both directions: provisioning writes a definition as objects, opening a file reads
// the definition back from them.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "directory/ds/embedded/schema_definition.h"
#include "directory/ds/value.h"

namespace tessary::ds::embedded {

// One attribute of a schema object by lDAPDisplayName, with its values as the client would put
// them (texts, integers, booleans, octet strings; DNs as text).
using SchemaObjectAttributes = std::vector<std::pair<std::string, Values>>;

SchemaObjectAttributes AttributeSchemaObject(const AttributeDefinition& attribute,
                                             const std::string& schema_dn);
SchemaObjectAttributes ClassSchemaObject(const ClassDefinition& object_class,
                                         const std::string& schema_dn);

// Reads one schema object back. values(name) gives an attribute's values (DNs as text); the
// object's objectClass decides which list it joins. Objects of other classes are ignored.
using SchemaValueReader = std::function<Values(const std::string& name)>;
void AddSchemaObject(const SchemaValueReader& values, SchemaDefinition* schema);

// The text form of a schemaIDGUID ("bf967a0e-0de6-11d0-a285-00aa003049e2") as the 16 bytes AD
// stores, and back. Empty for a malformed text.
Bytes GuidTextToBytes(const std::string& text);
std::string GuidBytesToText(const Bytes& bytes);

}  // namespace tessary::ds::embedded
