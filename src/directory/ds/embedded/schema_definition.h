#pragma once
// The schema the embedded directory is provisioned with: attributeSchema and classSchema entries
// carrying Active Directory's own names, identifiers and syntaxes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessary::ds::embedded {

struct AttributeDefinition {
  std::string ldap_display_name, admin_display_name, cn, attribute_id /*OID*/,
      attribute_syntax /*2.5.5.x*/;
  int om_syntax = 0;
  bool single_valued = false;
  int link_id = 0; /*0 none; even forward, odd back link*/
  bool system_only = false;
  std::optional<std::int64_t> range_lower, range_upper;
  std::string schema_id_guid; /* "bf967a0e-0de6-11d0-a285-00aa003049e2" form */
  std::int32_t system_flags = 0;
  std::int32_t search_flags = 0;
};

struct ClassDefinition {
  std::string ldap_display_name, admin_display_name, cn, governs_id, sub_class_of,
      rdn_att_id /* "cn", "ou", "dc" */,
      default_object_category /* cn of the category class, e.g. "Person" for user */,
      schema_id_guid;
  int object_class_category = 1; /* 0 = 88 class, 1 structural, 2 abstract, 3 auxiliary */
  std::vector<std::string> must_contain, may_contain, system_must_contain, system_may_contain,
      auxiliary_class, system_auxiliary_class, poss_superiors, system_poss_superiors;
};

struct SchemaDefinition {
  std::vector<AttributeDefinition> attributes;
  std::vector<ClassDefinition> classes;
};

// The schema compiled into the program: the classes of users, groups, contacts, computers,
// containers and domains with their superclasses, and the Exchange 2000 mailbox and
// configuration classes. Never fails.
const SchemaDefinition& BuiltinSchema();

// Adds the Exchange 2000 mailbox attributes and configuration classes, and the changes Exchange
// setup makes to Active Directory's classes (the mailbox auxiliary class on user, the mailbox
// attributes on mailRecipient), to a schema read from Microsoft's files. Entries the schema
// already has are kept. Never fails.
void AddExchangeSchema(SchemaDefinition* schema);

// Reads Microsoft's published schema files (as shipped in Debian's samba-ad-provision package)
// from folder. Fails with a message naming the file and line when a file is missing or malformed.
[[nodiscard]] bool ReadSchemaFiles(const std::string& folder, SchemaDefinition* out,
                                   std::string* error);

}  // namespace tessary::ds::embedded
