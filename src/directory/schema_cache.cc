#include "directory/schema_cache.h"

namespace tessary {
namespace {

constexpr char kSeparator[] = "$$$";
constexpr std::size_t kSeparatorLength = 3;

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    std::size_t hit = line.find(kSeparator, start);
    fields.push_back(
        line.substr(start, hit == std::string::npos ? std::string::npos : hit - start));
    if (hit == std::string::npos) return fields;
    start = hit + kSeparatorLength;
  }
}

}  // namespace

std::optional<std::vector<SchemaCacheEntry>> ParseSchemaCache(
    const std::vector<std::string>& lines) {
  if (lines.empty()) return std::nullopt;
  std::vector<SchemaCacheEntry> entries;
  entries.reserve(lines.size());
  for (const std::string& line : lines) {
    std::vector<std::string> fields = SplitFields(line);
    if (fields.size() != 3) return std::nullopt;
    entries.push_back({std::move(fields[0]), std::move(fields[1]), std::move(fields[2])});
  }
  return entries;
}

std::vector<std::string> FormatSchemaCache(const std::vector<SchemaCacheEntry>& entries) {
  std::vector<std::string> lines;
  lines.reserve(entries.size());
  for (const SchemaCacheEntry& entry : entries) {
    lines.push_back(entry.admin_display_name + kSeparator + entry.ldap_display_name + kSeparator +
                    entry.schema_dn);
  }
  return lines;
}

}  // namespace tessary
