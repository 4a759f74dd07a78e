// The file utility's setup operations: install with its trace lines, version checks and
// self-registration; versions, shortcuts, libraries and the pickers.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "platform/ui/scripted_ui_host.h"
#include "setup_test_files.h"
#include "setup_test_machine.h"
#include "support/bvk_file_util.h"
#include "support/bvk_registry.h"

namespace tessary {
namespace {

using setup::testing::VersionedBytes;
using tessary::testing::ReadFileText;
using tessary::testing::WriteFileText;

class FileUtilSetup : public setup::testing::SetupMachine {
 protected:
  void SetUp() override {
    SetupMachine::SetUp();
    platform::SetUiHost(&host_);
    std::filesystem::create_directories(Destination());
  }
  void TearDown() override { platform::SetUiHost(nullptr); }
  std::string Destination() const { return machine_.Root().string() + "/dst/"; }
  std::string Trace() const { return machine_.Root().string() + "/trace.txt"; }
  static void SetTime(const std::string& path, std::time_t when) {
    const timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  }

  platform::ScriptedUiHost host_{"Setup"};
  CBVKFileUtil files_;
};

TEST_F(FileUtilSetup, NewerInstalledCopyIsKeptAndTracedWithO) {
  Source("App.exe", "new source");
  SetTime(SourceFolder() + "App.exe", 1500000000);
  WriteFileText(Destination() + "App.exe", "installed");
  SetTime(Destination() + "App.exe", 1600000000);
  ASSERT_TRUE(files_.Install("App.exe", "App.exe", SourceFolder(), Destination(), false, false,
                             CBVKFileUtil::Interactive::No, Trace()));
  EXPECT_EQ(ReadFileText(Destination() + "App.exe"), "installed");
  const std::string trace = ReadFileText(Trace());
  EXPECT_EQ(trace.substr(0, 8), "Source (");
  EXPECT_NE(trace.find(") " + SourceFolder() + "App.exe\r\n- Dest ("), std::string::npos);
  EXPECT_NE(trace.find("\r\no ("), std::string::npos);
  EXPECT_EQ(trace.find("* ("), std::string::npos);
}

TEST_F(FileUtilSetup, OlderInstalledCopyIsReplacedAndTracedWithStar) {
  Source("App.ex_", "new source");
  SetTime(SourceFolder() + "App.ex_", 1600000000);
  WriteFileText(Destination() + "App.exe", "old");
  SetTime(Destination() + "App.exe", 1500000000);
  ASSERT_TRUE(files_.Install("App.ex_", "App.exe", SourceFolder(), Destination(), false, false,
                             CBVKFileUtil::Interactive::No, Trace()));
  EXPECT_EQ(ReadFileText(Destination() + "App.exe"), "new source");
  EXPECT_NE(ReadFileText(Trace()).find("\r\n* ("), std::string::npos);
}

TEST_F(FileUtilSetup, VersionCheckedInstallKeepsANewerSystemFile) {
  Source("Dao.dll", VersionedBytes(3, 5, 0, 0));
  SetTime(SourceFolder() + "Dao.dll", 1600000000);
  WriteFileText(Destination() + "Dao.dll", VersionedBytes(3, 6, 0, 0));
  SetTime(Destination() + "Dao.dll", 1500000000);
  ASSERT_TRUE(files_.Install("Dao.dll", "Dao.dll", SourceFolder(), Destination(), false, true,
                             CBVKFileUtil::Interactive::No, ""));
  EXPECT_EQ(ReadFileText(Destination() + "Dao.dll"), VersionedBytes(3, 6, 0, 0));
  Source("Dao.dll", VersionedBytes(3, 7, 0, 0));
  SetTime(SourceFolder() + "Dao.dll", 1600000000);
  ASSERT_TRUE(files_.Install("Dao.dll", "Dao.dll", SourceFolder(), Destination(), false, true,
                             CBVKFileUtil::Interactive::No, ""));
  EXPECT_EQ(ReadFileText(Destination() + "Dao.dll"), VersionedBytes(3, 7, 0, 0));
}

TEST_F(FileUtilSetup, VersionCheckedFailureNamesBothFilesAndTheProblem) {
  EXPECT_FALSE(files_.Install("None.dll", "None.dll", SourceFolder(), Destination(), false, true,
                              CBVKFileUtil::Interactive::No, ""));
  EXPECT_EQ(files_.Error().Text(), "Could not copy the file: " + SourceFolder() + "None.dll\nto: " +
                                       Destination() + "None.dll\nCannot read the source file.");
}

TEST_F(FileUtilSetup, PlainCopyFailureAsksAndAbortFails) {
  host_.QueueAnswer(platform::kIdAbort);
  EXPECT_FALSE(files_.Install("None.exe", "None.exe", SourceFolder(), Destination(), false, false,
                              CBVKFileUtil::Interactive::Yes, ""));
  ASSERT_EQ(host_.Messages().size(), 1u);
  EXPECT_EQ(host_.Messages()[0].text,
            "Could not copy the file: " + SourceFolder() + "None.exe to: " + Destination() +
                "None.exe\nThe system cannot find the file specified. (2)");
}

TEST_F(FileUtilSetup, RegisteredLibraryIsCalledAndCounted) {
  const std::string mark = machine_.Root().string() + "/mark.txt";
  setenv("TESSARY_TEST_REGISTER_MARK", mark.c_str(), 1);
  std::filesystem::copy_file(REGISTER_MODULE, SourceFolder() + "Ext.dll");
  ASSERT_TRUE(files_.Install("Ext.dll", "Ext.dll", SourceFolder(), Destination(), true, false,
                             CBVKFileUtil::Interactive::No, ""));
  unsetenv("TESSARY_TEST_REGISTER_MARK");
  EXPECT_EQ(ReadFileText(mark), "registered\n");
  EXPECT_EQ(RegistryText(true, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls",
                         Destination() + "Ext.dll"),
            "1");
}

TEST_F(FileUtilSetup, GetVersionReadsTheFixedBlock) {
  Source("v.dll", VersionedBytes(1, 2, 3, 4));
  std::string text;
  std::uint16_t parts[4] = {};
  ASSERT_TRUE(files_.GetVersion(SourceFolder() + "v.dll", &text, parts));
  EXPECT_EQ(text, "1.2.3.4");
  EXPECT_EQ(parts[3], 4);
  Source("plain.dll", "no version");
  EXPECT_FALSE(files_.GetVersion(SourceFolder() + "plain.dll", &text));
  const std::string message = files_.Error().Text();
  EXPECT_EQ(message.substr(0, message.find('\n')),
            "Could not retrieve information about '" + SourceFolder() + "plain.dll'.");
}

TEST_F(FileUtilSetup, ShortcutAndLibraryFailuresHaveTheirMessages) {
  EXPECT_FALSE(files_.CreateShortcut("/bin/true", Destination() + "no/a.desktop", "d"));
  EXPECT_EQ(files_.Error().Text().substr(0, 27), "Could not create the shortc");
  void* handle = nullptr;
  EXPECT_FALSE(files_.LoadModule(Destination() + "none.so", &handle));
  EXPECT_EQ(files_.Error().Text(), "Could not load the file '" + Destination() +
                                       "none.so'\nThe system cannot find the file specified. (2)");
  EXPECT_TRUE(files_.LoadModule(REGISTER_MODULE, &handle));
  EXPECT_NE(handle, nullptr);
}

TEST_F(FileUtilSetup, PathRootsAndPickers) {
  std::string root;
  std::size_t length = 0;
  CBVKFileUtil::GetPathRoot("\\\\server\\share\\folder\\file.txt", &root, &length);
  EXPECT_EQ(root, "\\\\server\\share");
  EXPECT_EQ(length, 14u);
  CBVKFileUtil::GetPathRoot("/", &root, &length);
  EXPECT_EQ(root, "/");

  host_.QueueSaveFile("/data/out/Export.csv");
  std::string path = "Export.csv";
  bool cancelled = true;
  std::string title, folder;
  files_.BrowseForSaveFile(&path, "csv", "Text Files (*.csv)|*.csv", nullptr, &cancelled, &title,
                           &folder);
  EXPECT_FALSE(cancelled);
  EXPECT_EQ(title, "Export.csv");
  EXPECT_EQ(folder, "/data/out/");
  files_.BrowseForFile(&path, "csv", "", nullptr, &cancelled);
  EXPECT_TRUE(cancelled);
  EXPECT_EQ(path, "/data/out/Export.csv");
}

}  // namespace
}  // namespace tessary
