#include "platform/program_folder.h"

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "registry_test_util.h"
#include "test_support.h"

namespace tessary::platform {
namespace {

using ProgramFolderTest = tessary::testing::MachineTest;

constexpr char kAppPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Brenvik";

TEST_F(ProgramFolderTest, WithoutARecordedPathTheDataFolderIsCreatedAndUsed) {
  std::filesystem::path expected = machine_.DataHome() / "brenvik";
  ASSERT_FALSE(std::filesystem::exists(expected));
  EXPECT_EQ(ProgramFolder(), expected.string() + "/");
  EXPECT_TRUE(std::filesystem::is_directory(expected));
}

TEST_F(ProgramFolderTest, TheRecordedPathGetsATrailingSlash) {
  RegKey key;
  ASSERT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, kAppPath, KEY_ALL_ACCESS, &key), 0u);
  ASSERT_EQ(SetText(key, "Path", "/opt/brenvik"), 0u);
  EXPECT_EQ(ProgramFolder(), "/opt/brenvik/");
  ASSERT_EQ(SetText(key, "Path", "/opt/brenvik/"), 0u);
  EXPECT_EQ(ProgramFolder(), "/opt/brenvik/");
  EXPECT_FALSE(std::filesystem::exists(machine_.DataHome() / "brenvik"));
}

TEST_F(ProgramFolderTest, AnEmptyOrNonTextPathFallsBack) {
  RegKey key;
  ASSERT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, kAppPath, KEY_ALL_ACCESS, &key), 0u);
  ASSERT_EQ(SetText(key, "Path", ""), 0u);
  EXPECT_EQ(ProgramFolder(), (machine_.DataHome() / "brenvik").string() + "/");
  std::uint8_t dword[4] = {1, 0, 0, 0};
  ASSERT_EQ(RegSetValue(key, "Path", REG_DWORD, dword, 4), 0u);
  EXPECT_EQ(ProgramFolder(), (machine_.DataHome() / "brenvik").string() + "/");
}

}  // namespace
}  // namespace tessary::platform
