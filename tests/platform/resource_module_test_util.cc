#include "platform/resource_module_test_util.h"

namespace tessary::testing {
namespace {

constexpr std::size_t kPeOffset = 64;
constexpr std::size_t kOptionalOffset = kPeOffset + 4 + 20;
constexpr std::uint32_t kSectionAddress = 0x1000;
constexpr std::uint32_t kSubdirectory = 0x80000000u;
constexpr std::uint16_t kLanguage = 0x409;

std::size_t Directory(std::string* table, std::size_t at, std::uint16_t entries) {
  PutU16(table, at + 14, entries);
  return at + 16;
}

}  // namespace

void PutU16(std::string* bytes, std::size_t at, std::uint16_t value) {
  if (bytes->size() < at + 2) bytes->resize(at + 2);
  (*bytes)[at] = static_cast<char>(value & 0xFF);
  (*bytes)[at + 1] = static_cast<char>(value >> 8);
}

void PutU32(std::string* bytes, std::size_t at, std::uint32_t value) {
  PutU16(bytes, at, static_cast<std::uint16_t>(value & 0xFFFF));
  PutU16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

std::uint32_t GetU32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

TestModule BuildResourceModule(const std::vector<TestResource>& resources, PeFormat format) {
  std::vector<std::uint32_t> types;
  for (const TestResource& resource : resources) {
    bool known = false;
    for (std::uint32_t type : types) known = known || type == resource.type;
    if (!known) types.push_back(resource.type);
  }

  // The table: root, type directories, language directories, data entries, then the data.
  const std::size_t root_size = 16 + 8 * types.size();
  const std::size_t types_size = 16 * types.size() + 8 * resources.size();
  const std::size_t languages_at = root_size + types_size;
  const std::size_t entries_at = languages_at + 24 * resources.size();
  std::size_t data_at = entries_at + 16 * resources.size();

  std::string table(data_at, '\0');
  std::vector<std::size_t> data_offsets;
  for (const TestResource& resource : resources) {
    data_offsets.push_back(data_at);
    table.resize(data_at, '\0');
    table += resource.data;
    data_at = (table.size() + 3) / 4 * 4;
  }

  std::size_t root_entry = Directory(&table, 0, static_cast<std::uint16_t>(types.size()));
  std::size_t type_directory = root_size;
  std::size_t resource_index = 0;
  for (std::uint32_t type : types) {
    PutU32(&table, root_entry, type);
    PutU32(&table, root_entry + 4, kSubdirectory | static_cast<std::uint32_t>(type_directory));
    root_entry += 8;
    std::uint16_t count = 0;
    for (const TestResource& resource : resources) count += resource.type == type ? 1 : 0;
    std::size_t entry = Directory(&table, type_directory, count);
    for (std::size_t i = 0; i < resources.size(); ++i) {
      if (resources[i].type != type) continue;
      const std::size_t language_directory = languages_at + 24 * resource_index;
      const std::size_t data_entry = entries_at + 16 * resource_index;
      PutU32(&table, entry, resources[i].id);
      PutU32(&table, entry + 4, kSubdirectory | static_cast<std::uint32_t>(language_directory));
      entry += 8;
      const std::size_t language_entry = Directory(&table, language_directory, 1);
      PutU32(&table, language_entry, kLanguage);
      PutU32(&table, language_entry + 4, static_cast<std::uint32_t>(data_entry));
      PutU32(&table, data_entry, kSectionAddress + static_cast<std::uint32_t>(data_offsets[i]));
      PutU32(&table, data_entry + 4, static_cast<std::uint32_t>(resources[i].data.size()));
      ++resource_index;
    }
    type_directory = entry;
  }

  const bool plus = format == PeFormat::kPe32Plus;
  const std::size_t directories = kOptionalOffset + (plus ? 112 : 96);
  const std::uint16_t optional_size =
      static_cast<std::uint16_t>(directories + 16 * 8 - kOptionalOffset);
  const std::size_t section_header = kOptionalOffset + optional_size;
  const std::size_t table_offset = (section_header + 40 + 15) / 16 * 16;

  TestModule module;
  std::string& bytes = module.bytes;
  bytes.assign(table_offset, '\0');
  bytes.replace(0, 2, "MZ");
  PutU32(&bytes, 0x3C, kPeOffset);
  bytes.replace(kPeOffset, 4, std::string("PE\0\0", 4));
  PutU16(&bytes, kPeOffset + 4, plus ? 0x8664 : 0x14C);
  PutU16(&bytes, kPeOffset + 6, 1);
  PutU16(&bytes, kPeOffset + 20, optional_size);
  PutU16(&bytes, kPeOffset + 22, 0x2102);  // executable DLL
  PutU16(&bytes, kOptionalOffset, plus ? 0x20B : 0x10B);
  PutU32(&bytes, directories - 4, 16);
  PutU32(&bytes, directories + 16, kSectionAddress);
  PutU32(&bytes, directories + 20, static_cast<std::uint32_t>(table.size()));
  bytes.replace(section_header, 6, std::string(".rsrc\0", 6));
  PutU32(&bytes, section_header + 8, static_cast<std::uint32_t>(table.size()));
  PutU32(&bytes, section_header + 12, kSectionAddress);
  PutU32(&bytes, section_header + 16, static_cast<std::uint32_t>(table.size()));
  PutU32(&bytes, section_header + 20, static_cast<std::uint32_t>(table_offset));
  bytes += table;

  module.root_entry_target = table_offset + 20;
  module.first_language_target = table_offset + languages_at + 20;
  module.first_data_entry = table_offset + entries_at;
  return module;
}

std::string DibPixels(int bit_count, int width, int height) {
  const std::size_t stride = (static_cast<std::size_t>(width) * bit_count + 31) / 32 * 4;
  std::string pixels(stride * height, '\0');
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<char>(i * 7 + 1);
  return pixels;
}

std::string MakeDib(int bit_count, int width, int height, std::uint32_t colours_used) {
  std::string dib(40, '\0');
  PutU32(&dib, 0, 40);
  PutU32(&dib, 4, static_cast<std::uint32_t>(width));
  PutU32(&dib, 8, static_cast<std::uint32_t>(height));
  PutU16(&dib, 12, 1);
  PutU16(&dib, 14, static_cast<std::uint16_t>(bit_count));
  PutU32(&dib, 32, colours_used);
  std::uint32_t colours = colours_used;
  if (colours == 0 && bit_count <= 8) colours = 1u << bit_count;
  for (std::uint32_t i = 0; i < colours; ++i) PutU32(&dib, dib.size(), i * 0x010101);
  return dib + DibPixels(bit_count, width, height);
}

std::string MakeCoreDib(int bit_count, int width, int height) {
  std::string dib(12, '\0');
  PutU32(&dib, 0, 12);
  PutU16(&dib, 4, static_cast<std::uint16_t>(width));
  PutU16(&dib, 6, static_cast<std::uint16_t>(height));
  PutU16(&dib, 8, 1);
  PutU16(&dib, 10, static_cast<std::uint16_t>(bit_count));
  const int colours = bit_count <= 8 ? 1 << bit_count : 0;
  for (int i = 0; i < colours; ++i) dib += std::string(3, static_cast<char>(i));
  return dib + DibPixels(bit_count, width, height);
}

}  // namespace tessary::testing
