#include <gtest/gtest.h>

#include <filesystem>

#include "import/import_engine.h"
#include "support/bvk_registry.h"
#include "test_support.h"

namespace tessary {
namespace {

class ImportSettingsTest : public testing::MachineTest {
 protected:
  std::string Current() { return std::filesystem::current_path().string() + "/"; }
};

TEST_F(ImportSettingsTest, FirstUseStartsClearedWithPathsInCurrentFolder) {
  CImportEngine engine(nullptr);
  EXPECT_FALSE(engine.CreateMailboxes);
  EXPECT_FALSE(engine.NewAccountDisabled);
  EXPECT_FALSE(engine.PasswordNeverExpires);
  EXPECT_FALSE(engine.RememberImportFile);
  EXPECT_FALSE(engine.RememberErrorFolder);
  EXPECT_TRUE(engine.MustChangePassword);
  EXPECT_EQ(engine.MultiValueMode, 0);
  EXPECT_EQ(engine.ImportFile, Current() + "Import.csv");
  EXPECT_EQ(engine.ErrorFolder, Current());
}

TEST_F(ImportSettingsTest, SavedValuesAreLoadedByTheNextEngine) {
  {
    CImportEngine engine(nullptr);
    engine.CreateMailboxes = true;
    engine.NewAccountDisabled = true;
    engine.AccountLocked = true;
    engine.PasswordNeverExpires = true;
    engine.PasswordExpired = true;
    engine.RememberImportFile = true;
    engine.RememberErrorFolder = true;
    engine.ImportFile = "/data/users.csv";
    engine.ErrorFolder = "/data/errors/";
    engine.MustChangePassword = false;
    engine.SaveImportSettings();
  }
  CImportEngine engine(nullptr);
  EXPECT_TRUE(engine.CreateMailboxes);
  EXPECT_TRUE(engine.NewAccountDisabled);
  EXPECT_TRUE(engine.AccountLocked);
  EXPECT_FALSE(engine.AccountHomeDir);
  EXPECT_TRUE(engine.PasswordNeverExpires);
  EXPECT_TRUE(engine.PasswordExpired);
  EXPECT_TRUE(engine.RememberImportFile);
  EXPECT_TRUE(engine.RememberErrorFolder);
  EXPECT_EQ(engine.ImportFile, "/data/users.csv");
  EXPECT_EQ(engine.ErrorFolder, "/data/errors/");
  EXPECT_TRUE(engine.MustChangePassword) << "the must-change option is never stored";
}

TEST_F(ImportSettingsTest, PathsAreWrittenOnlyWhenRemembered) {
  {
    CImportEngine engine(nullptr);
    engine.RememberImportFile = engine.RememberErrorFolder = true;
    engine.ImportFile = "/kept/import.csv";
    engine.ErrorFolder = "/kept/";
    engine.SaveImportSettings();
  }
  {
    CImportEngine engine(nullptr);
    engine.RememberImportFile = engine.RememberErrorFolder = false;
    engine.ImportFile = "/other/import.csv";
    engine.ErrorFolder = "/other/";
    engine.SaveImportSettings();
  }
  CBVKRegistry registry;
  ASSERT_TRUE(registry.OpenKey(HKEY_CURRENT_USER, "Software\\Brenvik\\Tessary"));
  std::string text;
  ASSERT_TRUE(registry.ReadString("Imp File", &text, "", CBVKRegistry::Required::Yes));
  EXPECT_EQ(text, "/kept/import.csv");
  ASSERT_TRUE(registry.ReadString("Imp Dir Errors", &text, "", CBVKRegistry::Required::Yes));
  EXPECT_EQ(text, "/kept/");
  std::uint32_t flag = 1;
  ASSERT_TRUE(registry.ReadDWORD("Set Default Imp File", &flag, 1, CBVKRegistry::Required::Yes));
  EXPECT_EQ(flag, 0u);
}

TEST_F(ImportSettingsTest, OverlongStoredPathFallsBackToDefault) {
  {
    CBVKRegistry registry;
    ASSERT_TRUE(registry.OpenKey(HKEY_CURRENT_USER, "Software\\Brenvik\\Tessary"));
    ASSERT_TRUE(registry.WriteString("Imp File", "/" + std::string(255, 'a')));
    ASSERT_TRUE(registry.WriteDWORD("Imp Account Disabled", 1));
  }
  CImportEngine engine(nullptr);
  EXPECT_EQ(engine.ImportFile, Current() + "Import.csv");
  EXPECT_TRUE(engine.NewAccountDisabled);
}

TEST_F(ImportSettingsTest, ValueOfWrongTypeReadsAsDefault) {
  {
    CBVKRegistry registry;
    ASSERT_TRUE(registry.OpenKey(HKEY_CURRENT_USER, "Software\\Brenvik\\Tessary"));
    ASSERT_TRUE(registry.WriteString("Imp Create Mailboxes", "1"));
    ASSERT_TRUE(registry.WriteDWORD("Imp File", 7));
  }
  CImportEngine engine(nullptr);
  EXPECT_FALSE(engine.CreateMailboxes);
  EXPECT_EQ(engine.ImportFile, Current() + "Import.csv");
}

TEST_F(ImportSettingsTest, OperationsLogLivesInTheProgramFolder) {
  CImportEngine engine(nullptr);
  EXPECT_EQ(engine.DataFolder, (machine_.DataHome() / "brenvik").string() + "/");
  EXPECT_EQ(engine.OperationsLogPath(), engine.DataFolder + "TY - General Operations.log");
}

}  // namespace
}  // namespace tessary
