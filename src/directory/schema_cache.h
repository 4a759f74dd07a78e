#pragma once
// "Schema.dat": the cached list of schema entries, one line per entry,
// adminDisplayName "$$$" lDAPDisplayName "$$$" distinguishedName. No header, no count.

#include <optional>
#include <string>
#include <vector>

namespace tessary {

struct SchemaCacheEntry {
  std::string admin_display_name;
  std::string ldap_display_name;
  std::string schema_dn;
  friend bool operator==(const SchemaCacheEntry&, const SchemaCacheEntry&) = default;
};

// The entries of the file's lines, or nothing when there are no lines or any line does not split
// into exactly three fields (the cache must then be rebuilt).
std::optional<std::vector<SchemaCacheEntry>> ParseSchemaCache(
    const std::vector<std::string>& lines);

// The lines that write `entries` (without line ends).
std::vector<std::string> FormatSchemaCache(const std::vector<SchemaCacheEntry>& entries);

}  // namespace tessary
