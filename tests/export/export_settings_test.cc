#include "export/export_settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/bvk_registry.h"
#include "test_support.h"

namespace tessary::testing {
namespace {

class ExportSettingsTest : public MachineTest {
 protected:
  void SetUp() override {
    saved_ = std::filesystem::current_path();
    std::filesystem::current_path(machine_.Root());
  }
  void TearDown() override { std::filesystem::current_path(saved_); }
  std::string InRoot(const char* name) const {
    return std::filesystem::current_path().string() + "/" + name;
  }
  std::filesystem::path saved_;
};

TEST_F(ExportSettingsTest, FirstUseClearsTheCheckBoxAndPointsIntoTheCurrentFolder) {
  ExportSettings settings;
  LoadExportSettings(&settings);
  LoadHeaderSettings(&settings);
  EXPECT_FALSE(settings.SetDefaultExportFile);
  EXPECT_FALSE(settings.IncludeSubcontainers);
  EXPECT_EQ(settings.ExportClass, "");
  EXPECT_EQ(settings.ExportContainer, "");
  EXPECT_EQ(settings.ExportFile, InRoot("Export.csv"));
  EXPECT_EQ(settings.HeaderFile, InRoot("Header.csv"));
}

TEST_F(ExportSettingsTest, SavedValuesAreLoadedAgain) {
  ExportSettings saved;
  saved.ExportFile = "/data/users.csv";
  saved.ExportClass = "User";
  saved.IncludeSubcontainers = true;
  saved.ExportContainer = "OU=Staff,DC=example,DC=com";
  SaveExportSettings(saved);
  ExportSettings loaded;
  LoadExportSettings(&loaded);
  EXPECT_TRUE(loaded.SetDefaultExportFile);
  EXPECT_EQ(loaded.ExportFile, "/data/users.csv");
  EXPECT_EQ(loaded.ExportClass, "User");
  EXPECT_TRUE(loaded.IncludeSubcontainers);
  EXPECT_EQ(loaded.ExportContainer, "OU=Staff,DC=example,DC=com");
}

TEST_F(ExportSettingsTest, WithoutTheCheckBoxTheStoredFileStays) {
  ExportSettings first;
  first.ExportFile = "/data/first.csv";
  SaveExportSettings(first);
  ExportSettings second;
  second.SetDefaultExportFile = false;
  second.ExportFile = "/data/second.csv";
  SaveExportSettings(second);
  ExportSettings loaded;
  LoadExportSettings(&loaded);
  EXPECT_FALSE(loaded.SetDefaultExportFile);
  EXPECT_EQ(loaded.ExportFile, "/data/first.csv");
}

TEST_F(ExportSettingsTest, NoSelectedContainerKeepsTheStoredOne) {
  ExportSettings first;
  first.ExportContainer = "CN=Users,DC=example,DC=com";
  SaveExportSettings(first);
  SaveExportSettings(ExportSettings());
  ExportSettings loaded;
  LoadExportSettings(&loaded);
  EXPECT_EQ(loaded.ExportContainer, "CN=Users,DC=example,DC=com");
}

TEST_F(ExportSettingsTest, AStoredPathOf256BytesIsNotRestored) {
  CBVKRegistry registry;
  ASSERT_TRUE(registry.OpenKey(HKEY_CURRENT_USER, "Software\\Brenvik\\Tessary"));
  ASSERT_TRUE(registry.WriteString("Export File", "/" + std::string(255, 'a')));
  ExportSettings loaded;
  LoadExportSettings(&loaded);
  EXPECT_EQ(loaded.ExportFile, InRoot("Export.csv"));
}

}  // namespace
}  // namespace tessary::testing
