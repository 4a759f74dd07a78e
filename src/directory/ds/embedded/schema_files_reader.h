#pragma once
// Reader of Microsoft's published Active Directory schema files: LDIF-like text with one
// attributeSchema or classSchema entry per paragraph, lists separated by commas and flags
// written by name ("fATTINDEX | fCOPY"). ReadSchemaFiles (schema_definition.h) reads the pair of
// files of a folder through ParseSchemaFile.

#include <string>
#include <string_view>

#include "directory/ds/embedded/schema_definition.h"

namespace tessary::ds::embedded {

enum class SchemaFileKind { kAttributes, kClasses };

// The names of the attribute and class files of one schema release, newest first.
struct SchemaFilePair {
  const char* attributes;
  const char* classes;
};
inline constexpr SchemaFilePair kSchemaFilePairs[] = {
    {"MS-AD_Schema_2K8_R2_Attributes.txt", "MS-AD_Schema_2K8_R2_Classes.txt"},
    {"MS-AD_Schema_2K8_Attributes.txt", "MS-AD_Schema_2K8_Classes.txt"},
};

// Appends the entries of one schema file's text to out. file_name only names the file in
// messages. Fails on the first malformed line or incomplete entry with
// "Could not read the schema file '<file_name>'.\nLine <n>: <reason>"; out then holds the
// entries read before it.
[[nodiscard]] bool ParseSchemaFile(std::string_view text, SchemaFileKind kind,
                                   const std::string& file_name, SchemaDefinition* out,
                                   std::string* error);

}  // namespace tessary::ds::embedded
