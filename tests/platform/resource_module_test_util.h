#pragma once
// Minimal Windows resource modules built in memory for the resource reader's tests: a DOS
// header, PE headers and one ".rsrc" section, with no padding, so that cutting any byte off the
// end damages the resource table.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tessary::testing {

struct TestResource {
  std::uint32_t type = 2;  // RT_BITMAP unless told
  std::uint32_t id = 0;
  std::string data;
};

enum class PeFormat { kPe32, kPe32Plus };

struct TestModule {
  std::string bytes;
  // File offsets of directory entry targets a test may overwrite to damage the tree: the root's
  // first entry, and the first resource's language entry.
  std::size_t root_entry_target = 0;
  std::size_t first_language_target = 0;
  // File offset of the first resource's data entry.
  std::size_t first_data_entry = 0;
};

// Resources of the same type share one type directory, in the order given; each has one
// language (0x409).
TestModule BuildResourceModule(const std::vector<TestResource>& resources, PeFormat format);

// A DIB as bitmap resources hold it: a 40-byte header (or the 12-byte core header), the colour
// table (colours_used entries, or all 1 << bit_count when 0 and bit_count <= 8), then the pixel
// rows with distinct bytes.
std::string MakeDib(int bit_count, int width, int height, std::uint32_t colours_used = 0);
std::string MakeCoreDib(int bit_count, int width, int height);

// The pixel bytes MakeDib and MakeCoreDib put after the colour table.
std::string DibPixels(int bit_count, int width, int height);

void PutU16(std::string* bytes, std::size_t at, std::uint16_t value);
void PutU32(std::string* bytes, std::size_t at, std::uint32_t value);
std::uint32_t GetU32(const std::string& bytes, std::size_t at);

}  // namespace tessary::testing
