// Bitmap resources read from Windows modules built in memory, and modules that are cut short or
// lie about their own layout.
#include "platform/resource_module.h"

#include <gtest/gtest.h>

#include "platform/resource_module_test_util.h"

namespace tessary::platform {
namespace {

using tessary::testing::BuildResourceModule;
using tessary::testing::DibPixels;
using tessary::testing::GetU32;
using tessary::testing::MakeCoreDib;
using tessary::testing::MakeDib;
using tessary::testing::PeFormat;
using tessary::testing::PutU16;
using tessary::testing::PutU32;
using tessary::testing::TestModule;

constexpr std::uint32_t kRcData = 10;

// Checks the file header of a .bmp made from `dib` and that its pixel offset lands on `pixels`.
void ExpectBitmapFile(const std::optional<std::string>& file, const std::string& dib,
                      std::uint32_t pixel_offset, const std::string& pixels) {
  ASSERT_TRUE(file.has_value());
  ASSERT_EQ(file->size(), 14 + dib.size());
  EXPECT_EQ(file->substr(0, 2), "BM");
  EXPECT_EQ(GetU32(*file, 2), 14 + dib.size());
  EXPECT_EQ(GetU32(*file, 6), 0u);
  EXPECT_EQ(GetU32(*file, 10), pixel_offset);
  EXPECT_EQ(file->substr(14), dib);
  EXPECT_EQ(file->substr(pixel_offset), pixels);
}

TEST(ResourceModuleBitmap, EightBitPalettedDibInPe32) {
  const std::string dib = MakeDib(8, 5, 3);
  const TestModule module =
      BuildResourceModule({{2, 999, MakeDib(24, 1, 1)}, {2, 1000, dib}}, PeFormat::kPe32);
  // 14 + 40 + 256 four-byte colours.
  ExpectBitmapFile(FindBitmapResource(module.bytes, 1000), dib, 1078, DibPixels(8, 5, 3));
}

TEST(ResourceModuleBitmap, TwentyFourBitDibInPe32Plus) {
  const std::string dib = MakeDib(24, 3, 2);
  const TestModule module = BuildResourceModule({{2, 1000, dib}}, PeFormat::kPe32Plus);
  ExpectBitmapFile(FindBitmapResource(module.bytes, 1000), dib, 54, DibPixels(24, 3, 2));
}

TEST(ResourceModuleBitmap, ColourTableFollowsTheHeader) {
  // Three colours used of an 8-bit DIB.
  std::string dib = MakeDib(8, 2, 2, 3);
  TestModule module = BuildResourceModule({{2, 1, dib}}, PeFormat::kPe32);
  ExpectBitmapFile(FindBitmapResource(module.bytes, 1), dib, 14 + 40 + 12, DibPixels(8, 2, 2));

  // The core header has three-byte colours.
  dib = MakeCoreDib(4, 4, 2);
  module = BuildResourceModule({{2, 1, dib}}, PeFormat::kPe32);
  ExpectBitmapFile(FindBitmapResource(module.bytes, 1), dib, 14 + 12 + 16 * 3, DibPixels(4, 4, 2));

  // Sixteen bits with BI_BITFIELDS: three masks, no colours.
  dib = MakeDib(16, 2, 2);
  PutU32(&dib, 16, 3);
  module = BuildResourceModule({{2, 1, dib}}, PeFormat::kPe32);
  EXPECT_EQ(FindBitmapResource(module.bytes, 1), std::nullopt) << "the masks are missing";
  dib.insert(40, std::string("\x00\xF8\0\0\xE0\x07\0\0\x1F\0\0\0", 12));
  module = BuildResourceModule({{2, 1, dib}}, PeFormat::kPe32);
  ExpectBitmapFile(FindBitmapResource(module.bytes, 1), dib, 14 + 40 + 12, DibPixels(16, 2, 2));
}

TEST(ResourceModuleBitmap, OtherIdsAndTypesAreNotTheBitmap) {
  const std::string dib = MakeDib(24, 1, 1);
  TestModule module = BuildResourceModule({{2, 999, dib}}, PeFormat::kPe32);
  EXPECT_EQ(FindBitmapResource(module.bytes, 1000), std::nullopt);
  EXPECT_TRUE(FindBitmapResource(module.bytes, 999).has_value());

  module = BuildResourceModule({{kRcData, 1000, "raw data"}, {2, 7, dib}}, PeFormat::kPe32);
  EXPECT_EQ(FindBitmapResource(module.bytes, 1000), std::nullopt);
  EXPECT_EQ(FindResource(module.bytes, kRcData, 1000), std::optional<std::string_view>("raw data"));
  EXPECT_TRUE(FindBitmapResource(module.bytes, 7).has_value());
}

TEST(ResourceModuleDamage, EveryTruncationGivesNothing) {
  for (PeFormat format : {PeFormat::kPe32, PeFormat::kPe32Plus}) {
    const TestModule module =
        BuildResourceModule({{2, 999, MakeDib(1, 3, 3)}, {2, 1000, MakeDib(8, 2, 2)}}, format);
    ASSERT_TRUE(FindBitmapResource(module.bytes, 1000).has_value());
    for (std::size_t length = 0; length < module.bytes.size(); ++length) {
      // A copy of exactly this length, so a read past it is a read past an allocation.
      const std::string prefix = module.bytes.substr(0, length);
      EXPECT_EQ(FindBitmapResource(prefix, 1000), std::nullopt) << "length " << length;
    }
  }
}

TEST(ResourceModuleDamage, DirectoriesPointingBackEndTheWalk) {
  const std::string dib = MakeDib(24, 1, 1);
  TestModule module = BuildResourceModule({{2, 2, dib}}, PeFormat::kPe32);
  // The root's bitmap entry leads back to the root: type, id and language all find the root.
  PutU32(&module.bytes, module.root_entry_target, 0x80000000u);
  EXPECT_EQ(FindResource(module.bytes, 2, 2), std::nullopt);
  EXPECT_EQ(FindBitmapResource(module.bytes, 2), std::nullopt);

  // The language entry leads back to the root instead of to a data entry.
  module = BuildResourceModule({{2, 1000, dib}}, PeFormat::kPe32);
  PutU32(&module.bytes, module.first_language_target, 0x80000000u);
  EXPECT_EQ(FindBitmapResource(module.bytes, 1000), std::nullopt);
}

TEST(ResourceModuleDamage, SizesAndOffsetsOutsideTheFileGiveNothing) {
  const std::string dib = MakeDib(8, 2, 2);
  const TestModule good = BuildResourceModule({{2, 1000, dib}}, PeFormat::kPe32);
  ASSERT_TRUE(FindBitmapResource(good.bytes, 1000).has_value());
  const std::size_t data_entry = good.first_data_entry;
  const std::size_t dib_at = good.bytes.size() - dib.size();
  struct Damage {
    std::size_t at;
    std::uint32_t value;
  };
  for (const Damage& damage : {
           Damage{0x3C, 0xFFFFFFF0u},          // PE header far past the end
           Damage{0x3C, 0},                    // "PE" looked for on "MZ"
           Damage{64 + 6, 0xFFFF},             // more section headers than the file holds
           Damage{64 + 20, 8},                 // optional header too short for the directories
           Damage{88 + 92, 2},                 // no resource directory among the directories
           Damage{88 + 96 + 20, 0xFFFFFFFFu},  // resource table larger than the file
           Damage{data_entry, 0xFFFFFFF0u},    // data far past the section
           Damage{data_entry + 4, 0xFFFFFFFFu},
           Damage{dib_at, 41},                // DIB header of an unknown size
           Damage{dib_at + 32, 0x40000000u},  // more colours than the DIB holds
       }) {
    std::string bytes = good.bytes;
    PutU32(&bytes, damage.at, damage.value);
    EXPECT_EQ(FindBitmapResource(bytes, 1000), std::nullopt) << "at " << damage.at;
  }
  // More named and numbered entries at the root than the table holds.
  std::string bytes = good.bytes;
  PutU16(&bytes, good.root_entry_target - 20 + 12, 0xFFFF);
  EXPECT_EQ(FindBitmapResource(bytes, 1000), std::nullopt);
}

TEST(ResourceModuleDamage, OtherFilesAreNoModules) {
  for (const std::string& bytes : {std::string(), std::string("MZ"), std::string(200, 'M'),
                                   std::string("\x89PNG\r\n\x1a\n....", 12), MakeDib(8, 2, 2)}) {
    EXPECT_EQ(FindBitmapResource(bytes, 1000), std::nullopt);
  }
  // A module of another format: "NE" where "PE" belongs.
  TestModule module = BuildResourceModule({{2, 1000, MakeDib(8, 2, 2)}}, PeFormat::kPe32);
  module.bytes[64] = 'N';
  EXPECT_EQ(FindBitmapResource(module.bytes, 1000), std::nullopt);
  // An optional header that is neither PE32 nor PE32+.
  module.bytes[64] = 'P';
  PutU16(&module.bytes, 88, 0x107);
  EXPECT_EQ(FindBitmapResource(module.bytes, 1000), std::nullopt);
}

}  // namespace
}  // namespace tessary::platform
