// libFuzzer target for the readers of outside text behind tessary-directory: LDIF (whatever it
// reads must write and read back the same) and Microsoft's schema files.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "directory/ds/embedded/schema_files_reader.h"
#include "directory/ds/ldif.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<tessary::ds::LdifRecord> records, again;
  std::string error;
  if (tessary::ds::ParseLdif(text, &records, &error)) {
    if (!tessary::ds::ParseLdif(tessary::ds::FormatLdif(records), &again, &error) ||
        again != records)
      std::abort();
  }
  tessary::ds::embedded::SchemaDefinition schema;
  (void)tessary::ds::embedded::ParseSchemaFile(
      text, tessary::ds::embedded::SchemaFileKind::kAttributes, "fuzz", &schema, &error);
  (void)tessary::ds::embedded::ParseSchemaFile(
      text, tessary::ds::embedded::SchemaFileKind::kClasses, "fuzz", &schema, &error);
  return 0;
}
