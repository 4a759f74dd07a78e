#pragma once
// "TYExpDef.dat" (the classes the object type page offers) and "TYAttsDef.dat" (the attributes
// the attributes page lists first): schema common names, one per line, in the program folder.
// Neither reading nor writing ever reports a failure: a missing file falls back to defaults.

#include <map>
#include <string>
#include <vector>

#include "directory/ex_domain.h"

namespace tessary {

inline constexpr const char* kObjectTypesFileName = "TYExpDef.dat";
inline constexpr const char* kAttributeDefinitionsFileName = "TYAttsDef.dat";

// Admin display name -> schema record (owned by the domain's lists).
using SchemaRecordMap = std::map<std::string, CBVKADSchemaObject*>;

// The folder followed by the name; the bare name when the folder is empty.
std::string DefinitionFilePath(const std::string& program_folder, const char* file_name);

// Adds the classes named in the file (or, when it has no lines, User, Group, Contact, Computer
// and Organizational-Unit) that the domain's class list holds, under their admin display names.
void ReadObjectTypes(const CExDomain& domain, const std::string& path, SchemaRecordMap* types);

// Adds the attributes of the domain's loaded attribute list named in the file or among the
// names chosen earlier, under their admin display names; others are skipped.
void ReadAttributeDefinitions(const CExDomain& domain, const std::string& path,
                              const std::vector<std::string>& chosen_names,
                              SchemaRecordMap* attributes);

// Replaces the file by the common name of each class offered, in the map's order.
void WriteObjectTypes(const std::string& path, const SchemaRecordMap& types);

// Adds the chosen admin display names to the file's names, each once. A file that cannot be
// read is neither created nor changed, so the list only ever grows from what setup installed.
void WriteAttributeDefinitions(const std::string& path,
                               const std::vector<std::string>& chosen_names);

}  // namespace tessary
