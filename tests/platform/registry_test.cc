#include "platform/registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/machine_paths.h"
#include "registry_test_util.h"
#include "test_support.h"

namespace tessary::platform {
namespace {

using testing::ReadFileText;
using testing::WriteFileText;
using RegistryTest = tessary::testing::MachineTest;

std::string ReadText(const RegKey& key, const std::string& name) {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  if (RegQueryValue(key, name, &type, &data) != 0 || type != REG_SZ) return "<unreadable>";
  return std::string(data.begin(), data.end()).c_str();
}

TEST_F(RegistryTest, HivesLiveWhereTheEnvironmentSays) {
  EXPECT_EQ(RegistryHivePath(HKEY_CURRENT_USER), machine_.ConfigHome() / "brenvik/user.reg");
  EXPECT_EQ(RegistryHivePath(HKEY_LOCAL_MACHINE),
            machine_.Root() / "machine/var/lib/brenvik/machine.reg");
  EXPECT_EQ(RegistryHivePath(HKEY_CLASSES_ROOT),
            machine_.Root() / "machine/var/lib/brenvik/classes.reg");
  EXPECT_TRUE(RegistryHivePath(HKEY{}).empty());
}

TEST_F(RegistryTest, ValuesOfEveryTypeSurviveTheFile) {
  RegKey key;
  ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, "Software\\Brenvik\\Tessary", KEY_ALL_ACCESS, &key),
            0u);
  ASSERT_EQ(SetText(key, "Imp File", "/home/a \"b\"\\c.csv"), 0u);
  std::uint8_t dword[4] = {1, 0, 0, 0};
  ASSERT_EQ(RegSetValue(key, "Imp Account Disabled", REG_DWORD, dword, 4), 0u);
  std::uint8_t binary[3] = {0, 0x7f, 0xff};
  ASSERT_EQ(RegSetValue(key, "Blob", REG_BINARY, binary, 3), 0u);
  ASSERT_EQ(SetText(key, "", "default"), 0u);

  EXPECT_TRUE(ReadFileText(RegistryHivePath(HKEY_CURRENT_USER))
                  .find("[HKEY_CURRENT_USER\\Software\\Brenvik\\Tessary]\n"
                        "\"Imp File\"=\"/home/a \\\"b\\\"\\\\c.csv\"\n"
                        "\"Imp Account Disabled\"=dword:00000001\n"
                        "\"Blob\"=hex:00,7f,ff\n"
                        "@=\"default\"\n") != std::string::npos)
      << ReadFileText(RegistryHivePath(HKEY_CURRENT_USER));

  RegKey again;
  ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, "SOFTWARE\\brenvik\\TESSARY", KEY_READ, &again), 0u);
  EXPECT_EQ(again.path, "Software\\Brenvik\\Tessary");
  EXPECT_EQ(ReadText(again, "imp file"), "/home/a \"b\"\\c.csv");
  EXPECT_EQ(ReadText(again, ""), "default");
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  ASSERT_EQ(RegQueryValue(again, "IMP ACCOUNT DISABLED", &type, &data), 0u);
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(data, (std::vector<std::uint8_t>{1, 0, 0, 0}));
  ASSERT_EQ(RegQueryValue(again, "blob", &type, &data), 0u);
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(data, (std::vector<std::uint8_t>{0, 0x7f, 0xff}));
}

TEST_F(RegistryTest, ASmallBufferGetsMoreDataAndTheSize) {
  RegKey key;
  ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, "K", KEY_ALL_ACCESS, &key), 0u);
  ASSERT_EQ(SetText(key, "V", "12345"), 0u);
  std::uint8_t buffer[4];
  std::uint32_t size = sizeof buffer;
  std::uint32_t type = 0;
  EXPECT_EQ(RegQueryValue(key, "V", &type, buffer, &size), 234u);
  EXPECT_EQ(size, 6u);
  EXPECT_EQ(type, REG_SZ);
}

TEST_F(RegistryTest, MissingKeysAndValuesAreNotFound) {
  RegKey key;
  EXPECT_EQ(RegOpenKey(HKEY_CURRENT_USER, "Software\\Nothing", KEY_READ, &key), 2u);
  ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, "Software\\Something", KEY_ALL_ACCESS, &key), 0u);
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  EXPECT_EQ(RegQueryValue(key, "none", &type, &data), 2u);
  EXPECT_EQ(RegDeleteValue(key, "none"), 2u);
  EXPECT_EQ(RegOpenKey(HKEY{}, "Software", KEY_READ, &key), 6u);
}

TEST_F(RegistryTest, TheAccessMaskIsEnforced) {
  RegKey key;
  ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, "K", KEY_ALL_ACCESS, &key), 0u);
  ASSERT_EQ(SetText(key, "V", "x"), 0u);
  RegKey reader;
  ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, "K", KEY_READ, &reader), 0u);
  EXPECT_EQ(SetText(reader, "V", "y"), 5u);
  EXPECT_EQ(RegDeleteValue(reader, "V"), 5u);
  EXPECT_EQ(ReadText(reader, "V"), "x");
  RegKey writer;
  ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, "K", KEY_SET_VALUE, &writer), 0u);
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  EXPECT_EQ(RegQueryValue(writer, "V", &type, &data), 5u);
  std::string name;
  EXPECT_EQ(RegEnumKey(writer, 0, &name), 5u);
}

TEST_F(RegistryTest, EnumerationGivesValuesInCreationOrderAndKeysSorted) {
  RegKey key;
  ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, "E", KEY_ALL_ACCESS, &key), 0u);
  ASSERT_EQ(SetText(key, "zeta", "1"), 0u);
  ASSERT_EQ(SetText(key, "Alpha", "2"), 0u);
  ASSERT_EQ(SetText(key, "ZETA", "3"), 0u);  // the same value, so it keeps its place
  RegKey child;
  ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, "E\\b", KEY_ALL_ACCESS, &child), 0u);
  ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, "E\\A\\deep", KEY_ALL_ACCESS, &child), 0u);
  std::vector<std::string> values, keys;
  std::string name;
  for (std::uint32_t i = 0; RegEnumValue(key, i, &name) == 0; ++i) values.push_back(name);
  for (std::uint32_t i = 0; RegEnumKey(key, i, &name) == 0; ++i) keys.push_back(name);
  EXPECT_EQ(values, (std::vector<std::string>{"zeta", "Alpha"}));
  EXPECT_EQ(keys, (std::vector<std::string>{"A", "b"}));
  EXPECT_EQ(RegEnumValue(key, 2, &name), 259u);
  EXPECT_EQ(RegEnumKey(key, 2, &name), 259u);
  EXPECT_EQ(ReadText(key, "zeta"), "3");
}

TEST_F(RegistryTest, AKeyWithSubKeysIsNotDeletedAndADeletedKeyReportsIt) {
  RegKey parent, child;
  ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, "P\\C\\G", KEY_ALL_ACCESS, &child), 0u);
  ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, "P", KEY_ALL_ACCESS, &parent), 0u);
  EXPECT_EQ(RegDeleteKey(parent, "C"), 5u);
  EXPECT_EQ(RegDeleteKey(parent, "c\\g"), 0u);
  EXPECT_EQ(SetText(child, "V", "x"), 1018u);
  EXPECT_EQ(RegDeleteKey(parent, "C"), 0u);
  EXPECT_EQ(RegDeleteKey(parent, "C"), 2u);
  RegKey root;
  ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, "", KEY_ALL_ACCESS, &root), 0u);
  EXPECT_EQ(RegDeleteKey(root, ""), 5u);
}

TEST_F(RegistryTest, NamesWithLineBreaksAreRefused) {
  RegKey key;
  EXPECT_EQ(RegCreateKey(HKEY_CURRENT_USER, "A\nB", KEY_ALL_ACCESS, &key), 87u);
  ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, "A", KEY_ALL_ACCESS, &key), 0u);
  EXPECT_EQ(SetText(key, "x\ny", "v"), 87u);
}

TEST_F(RegistryTest, AnUnparsableHiveIsReportedAndNeverWritten) {
  const std::string broken = "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"V\"=\"x\"\ngarbage\n";
  std::filesystem::path hive = RegistryHivePath(HKEY_CURRENT_USER);
  WriteFileText(hive, broken);
  RegKey key;
  EXPECT_EQ(RegOpenKey(HKEY_CURRENT_USER, "K", KEY_ALL_ACCESS, &key), 1009u);
  EXPECT_EQ(RegCreateKey(HKEY_CURRENT_USER, "New", KEY_ALL_ACCESS, &key), 1009u);
  key = {HKEY_CURRENT_USER, "K", KEY_ALL_ACCESS};
  EXPECT_EQ(SetText(key, "V", "y"), 1009u);
  EXPECT_EQ(RegDeleteValue(key, "V"), 1009u);
  EXPECT_EQ(RegDeleteKey(key, ""), 1009u);
  std::string problem;
  EXPECT_EQ(RegCheckHive(HKEY_CURRENT_USER, &problem), 1009u);
  EXPECT_EQ(problem,
            hive.string() + ", line 4: a line must be a key in brackets or a \"name\"=value");
  EXPECT_EQ(ReadFileText(hive), broken);
}

TEST_F(RegistryTest, AHiveThatIsFineChecksClean) {
  std::string problem;
  EXPECT_EQ(RegCheckHive(HKEY_LOCAL_MACHINE, &problem), 0u);
  RegKey key;
  ASSERT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\X", KEY_ALL_ACCESS, &key), 0u);
  EXPECT_EQ(RegCheckHive(HKEY_LOCAL_MACHINE, &problem), 0u);
  EXPECT_EQ(problem, "");
}

TEST_F(RegistryTest, AHiveBelowAFileReadsAsItsSeedAndCannotBeWritten) {
  setenv("XDG_CONFIG_HOME", (machine_.Root() / "blocked/config").c_str(), 1);
  WriteFileText(machine_.Root() / "blocked", "not a folder");
  RegKey key;
  EXPECT_EQ(RegCreateKey(HKEY_CURRENT_USER, "Software\\Brenvik", KEY_ALL_ACCESS, &key), 3u);
  ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, "Control Panel\\International", KEY_ALL_ACCESS, &key),
            0u);
  EXPECT_EQ(ReadText(key, "sDate").empty(), false);
  EXPECT_EQ(SetText(key, "sDate", "-"), 3u);
}

TEST_F(RegistryTest, AReadOnlyHiveFolderDeniesWritesAndKeepsReads) {
  RegKey key;
  ASSERT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brenvik", KEY_ALL_ACCESS, &key), 0u);
  ASSERT_EQ(SetText(key, "Kept", "yes"), 0u);
  std::filesystem::path hive = RegistryHivePath(HKEY_LOCAL_MACHINE);
  std::string before = ReadFileText(hive);
  MakeReadableByAll(machine_.Root());
  ASSERT_EQ(chmod(hive.parent_path().c_str(), 0555), 0);
  int failed_check = RunUnprivileged([&] {
    RegKey opened;
    if (RegOpenKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brenvik", KEY_ALL_ACCESS, &opened) != 0) return 1;
    if (ReadText(opened, "Kept") != "yes") return 2;
    if (SetText(opened, "Kept", "no") != 5) return 3;
    if (RegDeleteValue(opened, "Kept") != 5) return 4;
    RegKey created;
    if (RegCreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\New", KEY_ALL_ACCESS, &created) != 5) return 5;
    // A key that exists opens even with all access: only the write is refused.
    if (RegCreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brenvik", KEY_ALL_ACCESS, &created) != 0)
      return 6;
    return 0;
  });
  chmod(hive.parent_path().c_str(), 0755);
  EXPECT_EQ(failed_check, 0);
  EXPECT_EQ(ReadFileText(hive), before);
}

TEST_F(RegistryTest, AMissingHiveReadsAsItsSeedWithoutBeingWritten) {
  RegKey key;
  ASSERT_EQ(RegOpenKey(HKEY_CLASSES_ROOT, "htmlfile\\shell\\open\\command", KEY_READ, &key), 0u);
  EXPECT_EQ(ReadText(key, ""), "xdg-open \"%1\"");
  ASSERT_EQ(RegOpenKey(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", KEY_READ, &key), 0u);
  EXPECT_EQ(ReadText(key, ""), "xdg-open \"%1\"");
  EXPECT_FALSE(std::filesystem::exists(RegistryHivePath(HKEY_CLASSES_ROOT)));
}

TEST_F(RegistryTest, TheFirstWriteKeepsTheSeed) {
  RegKey key;
  ASSERT_EQ(RegCreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brenvik", KEY_ALL_ACCESS, &key), 0u);
  ASSERT_EQ(RegOpenKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", KEY_READ,
                       &key),
            0u);
  EXPECT_EQ(ReadText(key, "ProgramFilesDir"), (machine_.Root() / "machine/opt").string());
  EXPECT_EQ(ReadText(key, "CommonFilesDir"), (machine_.Root() / "machine/opt/common").string());
  std::string text = ReadFileText(RegistryHivePath(HKEY_LOCAL_MACHINE));
  EXPECT_NE(text.find("\"ProgramFilesDir\"="), std::string::npos) << text;
  EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Brenvik]"), std::string::npos) << text;
}

TEST_F(RegistryTest, TheUserHiveIsSeededWithRegionalSettingsOfTheLocale) {
  setenv("LC_ALL", "C", 1);
  RegKey key;
  ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, "Control Panel\\International", KEY_READ, &key), 0u);
  unsetenv("LC_ALL");
  EXPECT_EQ(ReadText(key, "sShortDate"), "MM/dd/yy");
  EXPECT_EQ(ReadText(key, "sDate"), "/");
  EXPECT_EQ(ReadText(key, "sTimeFormat"), "HH:mm:ss");
  EXPECT_EQ(ReadText(key, "sTime"), ":");
  EXPECT_EQ(ReadText(key, "s1159"), "AM");
  EXPECT_EQ(ReadText(key, "s2359"), "PM");
  EXPECT_EQ(ReadText(key, "iTime"), "1");
  EXPECT_EQ(ReadText(key, "iDate"), "0");
  EXPECT_EQ(ReadText(key, "iTLZero"), "1");
}

TEST_F(RegistryTest, WritesLeaveNoTemporaryFilesBehind) {
  RegKey key;
  ASSERT_EQ(RegCreateKey(HKEY_CURRENT_USER, "K", KEY_ALL_ACCESS, &key), 0u);
  for (int i = 0; i < 5; ++i) ASSERT_EQ(SetText(key, "V" + std::to_string(i), "x"), 0u);
  std::vector<std::string> names;
  for (const auto& entry :
       std::filesystem::directory_iterator(RegistryHivePath(HKEY_CURRENT_USER).parent_path()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"user.reg", "user.reg.lock"}));
}

}  // namespace
}  // namespace tessary::platform
