#pragma once
// The compiled-in schema as plain constant tables, turned into a SchemaDefinition on first use.
// Name lists are single strings of names separated by spaces (schema names hold no spaces), so
// the tables stay constant data that compiles quickly.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "directory/ds/embedded/schema_definition.h"

namespace tessary::ds::embedded {

struct AttributeRow {
  const char* ldap_display_name;
  const char* cn;  // also the adminDisplayName
  const char* attribute_id;
  const char* attribute_syntax;
  int om_syntax;
  bool single_valued;
  int link_id;
  bool system_only;
  bool has_range_lower;
  std::int64_t range_lower;
  bool has_range_upper;
  std::int64_t range_upper;
  const char* schema_id_guid;
  std::int32_t system_flags;
  std::int32_t search_flags;
};

struct ClassRow {
  const char* ldap_display_name;
  const char* cn;  // also the adminDisplayName
  const char* governs_id;
  const char* sub_class_of;
  const char* rdn_att_id;
  const char* default_object_category;
  const char* schema_id_guid;
  int object_class_category;
  const char* must_contain;
  const char* may_contain;
  const char* system_must_contain;
  const char* system_may_contain;
  const char* auxiliary_class;
  const char* system_auxiliary_class;
  const char* poss_superiors;
  const char* system_poss_superiors;
};

// Names added to a list of a class that another table defines, as a schema extension does with
// a change record on an existing classSchema entry.
enum class ClassList { kMayContain, kAuxiliaryClass, kPossSuperiors };
struct ClassExtensionRow {
  const char* class_name;
  ClassList list;
  const char* names;
};

struct SchemaTable {
  const AttributeRow* attributes;
  std::size_t attribute_count;
  const ClassRow* classes;
  std::size_t class_count;
};

// Active Directory's own entries for the built-in classes (generated from Microsoft's files).
SchemaTable ActiveDirectoryTable();
// The Exchange 2000 entries and the changes Exchange makes to Active Directory's classes.
SchemaTable ExchangeTable();
const ClassExtensionRow* ExchangeClassExtensions(std::size_t* count);

// The names of a space-separated list.
std::vector<std::string> SplitNameList(const char* list);

// Appends the rows of a table to schema.
void AppendTable(const SchemaTable& table, SchemaDefinition* schema);

}  // namespace tessary::ds::embedded
