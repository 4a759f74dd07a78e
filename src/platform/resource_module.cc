#include "platform/resource_module.h"

#include <vector>

namespace tessary::platform {
namespace {

// Little-endian reads from a span of bytes. A read outside the span yields 0 and marks the view
// failed for good, so a walk can read a whole structure and check once.
class ByteView {
 public:
  explicit ByteView(std::string_view bytes) : bytes_(bytes) {}

  bool Contains(std::uint64_t at, std::uint64_t count) const {
    return at <= bytes_.size() && count <= bytes_.size() - at;
  }
  std::uint16_t U16(std::uint64_t at) { return static_cast<std::uint16_t>(Read(at, 2)); }
  std::uint32_t U32(std::uint64_t at) { return static_cast<std::uint32_t>(Read(at, 4)); }
  bool Ok() const { return ok_; }

 private:
  std::uint64_t Read(std::uint64_t at, int count) {
    if (!Contains(at, count)) {
      ok_ = false;
      return 0;
    }
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
      value = (value << 8) | static_cast<unsigned char>(bytes_[at + i]);
    }
    return value;
  }

  std::string_view bytes_;
  bool ok_ = true;
};

constexpr std::uint64_t kDosHeaderSize = 64;
constexpr std::uint64_t kNewHeaderOffset = 0x3C;  // e_lfanew
constexpr std::uint64_t kCoffHeaderSize = 20;
constexpr std::uint64_t kSectionHeaderSize = 40;
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint64_t kDirectoryHeaderSize = 16;
constexpr std::uint64_t kDirectoryEntrySize = 8;
constexpr std::uint64_t kDataEntrySize = 16;
constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::uint64_t kBitmapFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;  // BITMAPCOREHEADER, 3-byte colour entries
constexpr std::uint32_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER
constexpr std::uint32_t kV4HeaderSize = 108;
constexpr std::uint32_t kV5HeaderSize = 124;
constexpr std::uint32_t kBitFields = 3;  // BI_BITFIELDS: three masks follow a 40-byte header

struct Section {
  std::uint64_t address = 0;  // relative virtual address
  std::uint64_t size = 0;     // bytes present in the file
  std::uint64_t offset = 0;   // in the file
};

// The parts of a PE image the resource walk needs: where its sections lie and where the
// resource table is.
class PeImage {
 public:
  // False when the bytes are no PE32 or PE32+ image or its headers are cut short.
  bool Parse(std::string_view bytes) {
    bytes_ = bytes;
    ByteView view(bytes);
    if (bytes.size() < kDosHeaderSize || bytes.substr(0, 2) != "MZ") return false;
    const std::uint64_t pe = view.U32(kNewHeaderOffset);
    if (!view.Contains(pe, 4) || bytes.substr(pe, 4) != std::string_view("PE\0\0", 4)) return false;
    const std::uint64_t coff = pe + 4;
    const std::uint16_t section_count = view.U16(coff + 2);
    const std::uint16_t optional_size = view.U16(coff + 16);
    const std::uint64_t optional = coff + kCoffHeaderSize;
    const std::uint16_t magic = view.U16(optional);
    if (!view.Ok()) return false;
    std::uint64_t count_at = 0;
    if (magic == kPe32Magic) {
      count_at = 92;
    } else if (magic == kPe32PlusMagic) {
      count_at = 108;
    } else {
      return false;
    }
    // The directory must lie inside the optional header the image declares, not only in the file.
    const std::uint64_t entry_at = count_at + 4 + 8 * kResourceDirectoryIndex;
    if (entry_at + 8 > optional_size) return false;
    if (view.U32(optional + count_at) <= kResourceDirectoryIndex) return false;
    resource_address_ = view.U32(optional + entry_at);
    resource_size_ = view.U32(optional + entry_at + 4);
    const std::uint64_t table = optional + optional_size;
    for (std::uint16_t i = 0; i < section_count; ++i) {
      const std::uint64_t at = table + i * kSectionHeaderSize;
      const std::uint32_t virtual_size = view.U32(at + 8);
      Section section{view.U32(at + 12), view.U32(at + 16), view.U32(at + 20)};
      if (!view.Ok()) return false;
      // Bytes past the virtual size are padding the loader does not map.
      if (virtual_size != 0 && virtual_size < section.size) section.size = virtual_size;
      if (section.offset > bytes.size()) continue;
      if (section.size > bytes.size() - section.offset)
        section.size = bytes.size() - section.offset;
      sections_.push_back(section);
    }
    return view.Ok();
  }

  // The file's bytes at [address, address + size) of the loaded image, or nothing when no
  // section holds them all in the file.
  std::optional<std::string_view> Map(std::uint64_t address, std::uint64_t size) const {
    for (const Section& s : sections_) {
      if (address < s.address || address - s.address > s.size) continue;
      const std::uint64_t into = address - s.address;
      if (size > s.size - into) continue;
      return bytes_.substr(s.offset + into, size);
    }
    return std::nullopt;
  }

  std::optional<std::string_view> ResourceTable() const {
    if (resource_address_ == 0 || resource_size_ == 0) return std::nullopt;
    return Map(resource_address_, resource_size_);
  }

 private:
  std::string_view bytes_;
  std::vector<Section> sections_;  // as many as the headers in the file, so bounded by its size
  std::uint32_t resource_address_ = 0;
  std::uint32_t resource_size_ = 0;
};

// One step down the resource tree: the entry of the directory at `directory` (an offset into
// the table) whose numeric id is `id`, or its first entry when `id` is empty. Gives the entry's
// target word (high bit set: a subdirectory). The tree is walked a fixed three levels deep and
// each directory's entries are bounded by the table, so a directory that points back at itself
// or an ancestor cannot make the walk go on for ever.
std::optional<std::uint32_t> Child(std::string_view table, std::uint64_t directory,
                                   std::optional<std::uint32_t> id) {
  ByteView view(table);
  const std::uint64_t named = view.U16(directory + 12);
  const std::uint64_t numbered = view.U16(directory + 14);
  if (!view.Ok()) return std::nullopt;
  const std::uint64_t first = directory + kDirectoryHeaderSize;
  if (!view.Contains(first, (named + numbered) * kDirectoryEntrySize)) return std::nullopt;
  if (!id) {
    if (named + numbered == 0) return std::nullopt;
    return view.U32(first + 4);
  }
  // Named entries come first; ids are looked for among the numbered ones only.
  for (std::uint64_t i = named; i < named + numbered; ++i) {
    const std::uint64_t at = first + i * kDirectoryEntrySize;
    const std::uint32_t name = view.U32(at);
    if ((name & kHighBit) == 0 && name == *id) return view.U32(at + 4);
  }
  return std::nullopt;
}

// Bytes from the start of a DIB to its pixels: header, masks and colour table; nothing when
// the header is of an unknown size or the DIB is shorter than what it declares.
std::optional<std::uint64_t> PixelOffset(std::string_view dib) {
  ByteView view(dib);
  const std::uint32_t header = view.U32(0);
  std::uint64_t entry_size = 4;
  std::uint64_t bit_count = 0;
  std::uint64_t colours = 0;
  std::uint64_t masks = 0;
  if (header == kCoreHeaderSize) {
    entry_size = 3;
    bit_count = view.U16(10);
  } else if (header == kInfoHeaderSize || header == kV4HeaderSize || header == kV5HeaderSize) {
    bit_count = view.U16(14);
    colours = view.U32(32);
    if (header == kInfoHeaderSize && view.U32(16) == kBitFields) masks = 12;
  } else {
    return std::nullopt;
  }
  if (!view.Ok()) return std::nullopt;
  // A bit count of 0 is a JPEG or PNG inside the DIB, which has no colour table.
  if (colours == 0 && bit_count >= 1 && bit_count <= 8) colours = std::uint64_t{1} << bit_count;
  const std::uint64_t offset = header + masks + colours * entry_size;
  if (offset > dib.size()) return std::nullopt;
  return offset;
}

void AppendU32(std::string* out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

std::optional<std::string_view> FindResource(std::string_view module, std::uint32_t type,
                                             std::uint32_t id) {
  PeImage image;
  if (!image.Parse(module)) return std::nullopt;
  const std::optional<std::string_view> table = image.ResourceTable();
  if (!table) return std::nullopt;
  std::uint64_t directory = 0;
  for (std::optional<std::uint32_t> step : {std::optional(type), std::optional(id)}) {
    const std::optional<std::uint32_t> target = Child(*table, directory, step);
    if (!target || (*target & kHighBit) == 0) return std::nullopt;
    directory = *target & ~kHighBit;
  }
  const std::optional<std::uint32_t> language = Child(*table, directory, std::nullopt);
  if (!language || (*language & kHighBit) != 0) return std::nullopt;
  ByteView view(*table);
  if (!view.Contains(*language, kDataEntrySize)) return std::nullopt;
  const std::uint32_t address = view.U32(*language);
  const std::uint32_t size = view.U32(*language + 4);
  return image.Map(address, size);
}

std::optional<std::string> FindBitmapResource(std::string_view module, std::uint32_t id) {
  const std::optional<std::string_view> dib = FindResource(module, kResourceTypeBitmap, id);
  if (!dib) return std::nullopt;
  const std::optional<std::uint64_t> pixels = PixelOffset(*dib);
  // The file size is a double word too.
  if (!pixels || dib->size() > 0xFFFFFFFFu - kBitmapFileHeaderSize) return std::nullopt;
  std::string file = "BM";
  file.reserve(kBitmapFileHeaderSize + dib->size());
  AppendU32(&file, static_cast<std::uint32_t>(kBitmapFileHeaderSize + dib->size()));
  AppendU32(&file, 0);  // two reserved words
  AppendU32(&file, static_cast<std::uint32_t>(kBitmapFileHeaderSize + *pixels));
  file.append(*dib);
  return file;
}

}  // namespace tessary::platform
