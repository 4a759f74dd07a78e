// libFuzzer target for the LDIF reader: what it accepts must write out as text that reads back to
// the same records and writes out again byte for byte, and the record-at-a-time reader must
// return what the whole-text reader returns.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "directory/ds/ldif.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<tessary::ds::LdifRecord> records;
  std::string error;
  const bool parsed = tessary::ds::ParseLdif(text, &records, &error);

  std::istringstream in(text);
  tessary::ds::LdifReader reader(in);
  std::vector<tessary::ds::LdifRecord> streamed;
  for (tessary::ds::LdifRecord record; reader.Next(&record); record = {})
    streamed.push_back(record);
  if (parsed != reader.error().empty()) std::abort();
  if (parsed && streamed != records) std::abort();
  if (!parsed) return 0;

  const std::string written = tessary::ds::FormatLdif(records);
  std::vector<tessary::ds::LdifRecord> again;
  if (!tessary::ds::ParseLdif(written, &again, &error)) std::abort();
  if (again != records) std::abort();
  if (tessary::ds::FormatLdif(again) != written) std::abort();
  return 0;
}
