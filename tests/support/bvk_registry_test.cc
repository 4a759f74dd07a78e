#include "support/bvk_registry.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace tessary {
namespace {

using Required = CBVKRegistry::Required;
using Create = CBVKRegistry::Create;

constexpr char kSettings[] = "Software\\Brenvik\\Tessary";

class BVKRegistryTest : public testing::MachineTest {
 protected:
  // A registry helper with the settings key open.
  void OpenSettings() { ASSERT_TRUE(registry_.OpenKey(HKEY_CURRENT_USER, kSettings)); }

  CBVKRegistry registry_;
};

TEST_F(BVKRegistryTest, ValuesWrittenAreReadBack) {
  OpenSettings();
  ASSERT_TRUE(registry_.WriteDWORD("Imp Account Disabled", 1));
  ASSERT_TRUE(registry_.WriteString("Imp File", "/data/Import.csv"));
  CBVKRegistry other;
  ASSERT_TRUE(other.OpenKey(HKEY_CURRENT_USER, "software\\brenvik\\tessary", KEY_READ, Create::No));
  std::uint32_t flag = 7;
  std::string path;
  ASSERT_TRUE(other.ReadDWORD("Imp Account Disabled", &flag, 0, Required::Yes));
  ASSERT_TRUE(other.ReadString("Imp File", &path, "", Required::Yes));
  EXPECT_EQ(flag, 1u);
  EXPECT_EQ(path, "/data/Import.csv");
}

TEST_F(BVKRegistryTest, AMissingValueThatIsNotRequiredGivesTheDefault) {
  OpenSettings();
  std::uint32_t flag = 7;
  std::string path = "old";
  EXPECT_TRUE(registry_.ReadDWORD("Imp Create Mailboxes", &flag, 0));
  EXPECT_TRUE(registry_.ReadString("Imp File", &path, "default.csv"));
  EXPECT_EQ(flag, 0u);
  EXPECT_EQ(path, "default.csv");
}

TEST_F(BVKRegistryTest, AValueOfAnotherTypeReadsAsTheDefaultUnlessRequired) {
  OpenSettings();
  ASSERT_TRUE(registry_.WriteString("Export Subcontainers", "1"));
  ASSERT_TRUE(registry_.WriteDWORD("Export Class", 5));
  std::uint32_t flag = 9;
  std::string text = "x";
  EXPECT_TRUE(registry_.ReadDWORD("Export Subcontainers", &flag, 0));
  EXPECT_TRUE(registry_.ReadString("Export Class", &text, ""));
  EXPECT_EQ(flag, 0u);
  EXPECT_EQ(text, "");
  EXPECT_FALSE(registry_.ReadDWORD("Export Subcontainers", &flag, 0, Required::Yes));
  EXPECT_EQ(registry_.Error().Text(), "A required registry value is set to a wrong type.");
  EXPECT_FALSE(registry_.ReadString("Export Class", &text, "", Required::Yes));
  EXPECT_EQ(registry_.Error().Text(), "A required registry value is set to a wrong type.");
}

TEST_F(BVKRegistryTest, ARequiredMissingValueExplainsTheSystemCode) {
  OpenSettings();
  std::uint32_t flag = 0;
  EXPECT_FALSE(registry_.ReadDWORD("Nothing", &flag, 0, Required::Yes));
  EXPECT_EQ(registry_.Error().Text(),
            "Could not locate or open a require registry value.\n"
            "The system cannot find the file specified. (2)");
  EXPECT_EQ(registry_.Error().Code(), 2);
}

TEST_F(BVKRegistryTest, TextsOf256BytesOrMoreAreNotRead) {
  OpenSettings();
  const std::string fits(255, 'a');  // 256 bytes with its terminating zero
  const std::string too_long(256, 'b');
  ASSERT_TRUE(registry_.WriteString("Fits", fits));
  ASSERT_TRUE(registry_.WriteString("Export File", too_long));
  std::string text;
  ASSERT_TRUE(registry_.ReadString("Fits", &text, "", Required::Yes));
  EXPECT_EQ(text, fits);
  EXPECT_TRUE(registry_.ReadString("Export File", &text, "/cwd/Export.csv"));
  EXPECT_EQ(text, "/cwd/Export.csv");
  EXPECT_FALSE(registry_.ReadString("Export File", &text, "", Required::Yes));
  EXPECT_EQ(registry_.Error().Text(),
            "Could not locate or open a require registry value.\nMore data is available. (ea)");
}

TEST_F(BVKRegistryTest, BinaryValuesLargerThanTheFirstBufferAreReadWhole) {
  platform::RegKey key;
  ASSERT_EQ(platform::RegCreateKey(HKEY_CURRENT_USER, kSettings, KEY_ALL_ACCESS, &key), 0u);
  std::vector<std::uint8_t> blob(700);
  for (std::size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<std::uint8_t>(i * 7);
  ASSERT_EQ(platform::RegSetValue(key, "Blob", platform::REG_BINARY, blob.data(), 700), 0u);
  OpenSettings();
  std::vector<std::uint8_t> read;
  ASSERT_TRUE(registry_.ReadBinary("Blob", &read, Required::Yes));
  EXPECT_EQ(read, blob);
  EXPECT_FALSE(registry_.ReadBinary("Missing", &read, Required::Yes));
  EXPECT_TRUE(registry_.ReadBinary("Missing", &read));
  EXPECT_TRUE(read.empty());
}

TEST_F(BVKRegistryTest, OperationsWithoutAnOpenKeySayWhy) {
  std::uint32_t flag = 0;
  std::string text;
  EXPECT_FALSE(registry_.ReadDWORD("A", &flag));
  EXPECT_EQ(registry_.Error().Text(),
            "An attempt was made to retrieve a value from the registry without a valid \n"
            "open registry key.");
  EXPECT_FALSE(registry_.ReadString("A", &text));
  EXPECT_EQ(registry_.Error().Text(),
            "An attempt was made to retrieve a value from the registry without a valid \n"
            "open registry key.");
  EXPECT_FALSE(registry_.WriteDWORD("A", 1));
  EXPECT_EQ(registry_.Error().Text(),
            "An attempt was made to set a registry value without a valid \nopen registry key");
  EXPECT_FALSE(registry_.WriteString("A", "x"));
  EXPECT_EQ(registry_.Error().Text(),
            "An attempt was made to set a registry value without a valid \nopen registry key.");
  EXPECT_FALSE(registry_.DeleteValue("A"));
  EXPECT_EQ(registry_.Error().Text(),
            "Could not remove a value from the registry.\nThe handle is invalid. (6)");
  std::vector<std::string> names;
  EXPECT_FALSE(registry_.EnumKeys(&names));
  EXPECT_EQ(registry_.Error().Text(),
            "Could not access the registry on this machine.\nThe handle is invalid. (6)");
  EXPECT_FALSE(registry_.EnumValues(&names));
  EXPECT_EQ(registry_.Error().Text(), "Could not enumerate registry values.");
}

TEST_F(BVKRegistryTest, OpeningWithoutARootSaysWhyAndWhomToAsk) {
  EXPECT_FALSE(registry_.OpenKey(HKEY{}, kSettings));
  EXPECT_EQ(registry_.Error().Text(),
            "An attempt was made to open a registry key without a valid \nstarting key.\n"
            "Please contact Brenvik at support@brenvik.example");
  EXPECT_FALSE(registry_.IsOpen());
}

TEST_F(BVKRegistryTest, OpeningAMissingKeyNamesIt) {
  EXPECT_FALSE(registry_.OpenKey(HKEY_CURRENT_USER, "Software\\Nobody", KEY_READ, Create::No));
  EXPECT_EQ(registry_.Error().Text(),
            "Could not access the registry key: 'Software\\Nobody'.\n"
            "The system cannot find the file specified. (2)");
}

TEST_F(BVKRegistryTest, CreatingInAnUnreadableHiveNamesTheFileAndLine) {
  std::filesystem::path hive = platform::RegistryHivePath(HKEY_CURRENT_USER);
  testing::WriteFileText(hive, "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"B\"=dword:xyz\n");
  EXPECT_FALSE(registry_.OpenKey(HKEY_CURRENT_USER, kSettings));
  EXPECT_EQ(registry_.Error().Text(),
            "Could not create or access a registry key.\n"
            "The configuration registry database is corrupt. (3f1)\n" +
                hive.string() + ", line 3: a dword value needs up to eight hexadecimal digits");
  EXPECT_EQ(testing::ReadFileText(hive), "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"B\"=dword:xyz\n");
}

TEST_F(BVKRegistryTest, AFailedWriteExplainsTheSystemCode) {
  ASSERT_TRUE(registry_.OpenKey(HKEY_CURRENT_USER, kSettings, KEY_READ));
  EXPECT_FALSE(registry_.WriteString("Imp File", "x"));
  EXPECT_EQ(registry_.Error().Text(), "Could not set a registry value.\nAccess is denied. (5)");
  EXPECT_FALSE(registry_.WriteDWORD("Imp Account Locked", 1));
  EXPECT_EQ(registry_.Error().Text(), "Could not set a registry value.\nAccess is denied. (5)");
}

TEST_F(BVKRegistryTest, DeleteValueToleratesAMissingValue) {
  OpenSettings();
  ASSERT_TRUE(registry_.WriteString("Gone", "x"));
  EXPECT_TRUE(registry_.DeleteValue("gone"));
  EXPECT_TRUE(registry_.DeleteValue("Gone"));
  std::string text;
  EXPECT_FALSE(registry_.ReadString("Gone", &text, "", Required::Yes));
}

TEST_F(BVKRegistryTest, DeleteTreeRemovesEverythingBelowAndToleratesAMissingKey) {
  CBVKRegistry setup;
  ASSERT_TRUE(setup.OpenKey(HKEY_LOCAL_MACHINE, "Software\\Brenvik\\Product\\A\\B"));
  ASSERT_TRUE(setup.WriteString("V", "x"));
  ASSERT_TRUE(setup.OpenKey(HKEY_LOCAL_MACHINE, "Software\\Brenvik\\Product\\C"));
  ASSERT_TRUE(setup.OpenKey(HKEY_LOCAL_MACHINE, "Software\\Brenvik\\Productive"));
  ASSERT_TRUE(
      registry_.OpenKey(HKEY_LOCAL_MACHINE, "Software\\Brenvik", KEY_ALL_ACCESS, Create::No));
  EXPECT_TRUE(registry_.DeleteTree("PRODUCT"));
  std::vector<std::string> names;
  ASSERT_TRUE(registry_.EnumKeys(&names));
  EXPECT_EQ(names, std::vector<std::string>{"Productive"});
  EXPECT_TRUE(registry_.DeleteTree("Product"));
}

TEST_F(BVKRegistryTest, DeleteTreeRefusesToDeleteTheOpenKeyItself) {
  OpenSettings();
  EXPECT_FALSE(registry_.DeleteTree(""));
  EXPECT_EQ(registry_.Error().Text(),
            "Could not update the registry.\nThe parameter is incorrect. (57)");
  CBVKRegistry check;
  EXPECT_TRUE(check.OpenKey(HKEY_CURRENT_USER, kSettings, KEY_READ, Create::No));
}

TEST_F(BVKRegistryTest, DeleteTreeInAnUnreadableHiveFails) {
  CBVKRegistry setup;
  ASSERT_TRUE(setup.OpenKey(HKEY_LOCAL_MACHINE, "Software\\Brenvik\\Product"));
  ASSERT_TRUE(registry_.OpenKey(HKEY_LOCAL_MACHINE, "Software\\Brenvik", KEY_READ, Create::No));
  // A read-only handle still deletes: deletion rights come from the sub-key, opened with all
  // access, as on Windows. What stops it is a hive that cannot be written.
  std::filesystem::path hive = platform::RegistryHivePath(HKEY_LOCAL_MACHINE);
  testing::WriteFileText(hive, testing::ReadFileText(hive) + "broken\n");
  EXPECT_FALSE(registry_.DeleteTree("Product"));
  EXPECT_EQ(registry_.Error().Text().rfind("Could not update the registry.\n"
                                           "The configuration registry database is corrupt. (3f1)",
                                           0),
            0u);
}

TEST_F(BVKRegistryTest, EnumKeysListsInIndexOrderAndFiltersByExactPrefix) {
  for (const char* name : {"9.0", "10.0", "Common", "11.0", "common2"}) {
    CBVKRegistry setup;
    ASSERT_TRUE(
        setup.OpenKey(HKEY_LOCAL_MACHINE, std::string("Software\\Microsoft\\Office\\") + name));
  }
  ASSERT_TRUE(
      registry_.OpenKey(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Office", KEY_READ, Create::No));
  std::vector<std::string> names = {"stale"};
  ASSERT_TRUE(registry_.EnumKeys(&names));
  EXPECT_EQ(names, (std::vector<std::string>{"10.0", "11.0", "9.0", "Common", "common2"}));
  ASSERT_TRUE(registry_.EnumKeys(&names, "Common"));
  EXPECT_EQ(names, std::vector<std::string>{"Common"});
  ASSERT_TRUE(registry_.EnumKeys(&names, "1"));
  EXPECT_EQ(names, (std::vector<std::string>{"10.0", "11.0"}));
}

TEST_F(BVKRegistryTest, EnumValuesListsTheValueNames) {
  OpenSettings();
  ASSERT_TRUE(registry_.WriteDWORD("B", 1));
  ASSERT_TRUE(registry_.WriteString("A", "x"));
  std::vector<std::string> names = {"stale"};
  ASSERT_TRUE(registry_.EnumValues(&names));
  EXPECT_EQ(names, (std::vector<std::string>{"B", "A"}));
}

TEST_F(BVKRegistryTest, GetAppPathAddsTheTrailingSlashOrIsEmpty) {
  EXPECT_EQ(registry_.GetAppPath("Brenvik"), "");
  EXPECT_EQ(registry_.Error().Text(),
            "Could not access the registry key: "
            "'SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Brenvik'.\n"
            "The system cannot find the file specified. (2)");
  CBVKRegistry setup;
  ASSERT_TRUE(setup.OpenKey(HKEY_LOCAL_MACHINE,
                            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Brenvik"));
  EXPECT_EQ(registry_.GetAppPath("Brenvik"), "");
  ASSERT_TRUE(setup.WriteString("Path", "/opt/brenvik"));
  EXPECT_EQ(registry_.GetAppPath("Brenvik"), "/opt/brenvik/");
  ASSERT_TRUE(setup.WriteString("Path", "/opt/brenvik/"));
  EXPECT_EQ(registry_.GetAppPath("brenvik"), "/opt/brenvik/");
  EXPECT_FALSE(registry_.IsOpen());
}

TEST_F(BVKRegistryTest, OpeningAnotherKeyClosesTheFirst) {
  OpenSettings();
  EXPECT_FALSE(registry_.OpenKey(HKEY_CURRENT_USER, "Missing", KEY_READ, Create::No));
  EXPECT_FALSE(registry_.IsOpen());
  EXPECT_FALSE(registry_.WriteString("A", "x"));
}

}  // namespace
}  // namespace tessary
