// The platform stand-ins setup relies on: versions, the version installer, atomic copies,
// desktop shortcuts, libraries, mount tables and the standard folders.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "platform/atomic_copy.h"
#include "platform/drives.h"
#include "platform/file_version.h"
#include "platform/library.h"
#include "platform/shortcut.h"
#include "platform/special_folders.h"
#include "setup_test_files.h"
#include "test_support.h"

namespace tessary::platform {
namespace {

namespace fs = std::filesystem;
using tessary::setup::testing::VersionedBytes;
using tessary::testing::ReadFileText;
using tessary::testing::WriteFileText;

TEST(FixedVersionBlock, FoundBySignatureAnywhere) {
  auto version = FindFixedVersion("junk" + VersionedBytes(1, 2, 3, 4) + "tail");
  ASSERT_TRUE(version);
  EXPECT_EQ(*version, (FileVersion{1, 2, 3, 4}));
  EXPECT_FALSE(FindFixedVersion("no version here"));
  // A signature too near the end to hold a block is not one.
  EXPECT_FALSE(FindFixedVersion(VersionedBytes(1, 2, 3, 4).substr(0, 20)));
}

class SetupPlatform : public tessary::testing::MachineTest {
 protected:
  std::string Dir() const { return machine_.Root().string() + "/work/"; }
  void SetUp() override { fs::create_directories(Dir()); }
};

TEST_F(SetupPlatform, ReadFileVersionTellsMissingFromUnversioned) {
  std::uint32_t error = 0;
  WriteFileText(Dir() + "plain.dll", "plain");
  EXPECT_FALSE(ReadFileVersion(Dir() + "plain.dll", &error));
  EXPECT_EQ(error, 0u);
  EXPECT_FALSE(ReadFileVersion(Dir() + "missing.dll", &error));
  EXPECT_EQ(error, 2u);
  // A block beyond the first megabyte, across the piece boundary, is still found.
  std::string big((1 << 20) - 10, 'x');
  WriteFileText(Dir() + "big.dll", big + VersionedBytes(5, 6, 7, 8));
  auto version = ReadFileVersion(Dir() + "big.dll", &error);
  ASSERT_TRUE(version);
  EXPECT_EQ(version->major, 5);
  EXPECT_EQ(version->revision, 8);
}

TEST_F(SetupPlatform, VersionInstallerCopiesOnlyNewer) {
  fs::create_directories(Dir() + "src");
  fs::create_directories(Dir() + "dst");
  WriteFileText(Dir() + "src/a.dll", VersionedBytes(2, 0, 0, 0) + "new");
  EXPECT_EQ(InstallVersionedFile(Dir() + "src/", "a.dll", Dir() + "dst/", "a.dll"), 0u);
  EXPECT_EQ(ReadFileText(Dir() + "dst/a.dll"), VersionedBytes(2, 0, 0, 0) + "new");

  WriteFileText(Dir() + "dst/a.dll", VersionedBytes(3, 0, 0, 0) + "installed");
  EXPECT_EQ(InstallVersionedFile(Dir() + "src/", "a.dll", Dir() + "dst/", "a.dll"), kVifSrcOld);
  EXPECT_EQ(ReadFileText(Dir() + "dst/a.dll"), VersionedBytes(3, 0, 0, 0) + "installed");

  // Equal versions keep the installed file too.
  WriteFileText(Dir() + "dst/a.dll", VersionedBytes(2, 0, 0, 0) + "same");
  EXPECT_EQ(InstallVersionedFile(Dir() + "src/", "a.dll", Dir() + "dst/", "a.dll"), kVifSrcOld);

  EXPECT_EQ(InstallVersionedFile(Dir() + "src/", "none.dll", Dir() + "dst/", "none.dll"),
            kVifCannotReadSrc);
  EXPECT_EQ(InstallVersionedFile(Dir() + "src/", "a.dll", Dir() + "nofolder/", "a.dll"),
            kVifCannotCreate);
}

TEST_F(SetupPlatform, AtomicCopyReplacesWholeAndLeavesNoTemporary) {
  WriteFileText(Dir() + "from", "new content");
  WriteFileText(Dir() + "to", "old");
  chmod((Dir() + "from").c_str(), 0555);
  CopyOutcome outcome = CopyFileAtomically(Dir() + "from", Dir() + "to");
  EXPECT_EQ(outcome.error, 0u);
  EXPECT_EQ(ReadFileText(Dir() + "to"), "new content");
  struct stat info {};
  ASSERT_EQ(stat((Dir() + "to").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0755u);  // the source's bits plus the owner's write

  outcome = CopyFileAtomically(Dir() + "missing", Dir() + "to");
  EXPECT_EQ(outcome.stage, CopyOutcome::Stage::kReadSource);
  EXPECT_EQ(outcome.error, 2u);
  EXPECT_EQ(ReadFileText(Dir() + "to"), "new content");

  fs::create_directories(Dir() + "folder");
  outcome = CopyFileAtomically(Dir() + "from", Dir() + "folder");
  EXPECT_EQ(outcome.stage, CopyOutcome::Stage::kRename);
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(Dir())) ++entries;
  EXPECT_EQ(entries, 3);  // from, to, folder: no temporary left behind
}

TEST_F(SetupPlatform, DesktopShortcutRunsTheTargetQuoted) {
  WriteFileText(Dir() + "my app", "#!/bin/sh\n");
  chmod((Dir() + "my app").c_str(), 0755);
  ASSERT_EQ(CreateDesktopShortcut(Dir() + "my app", Dir() + "Start App.desktop", "Start $App"), 0u);
  EXPECT_EQ(ReadFileText(Dir() + "Start App.desktop"),
            "[Desktop Entry]\nType=Application\nName=Start App\nComment=Start $App\nExec=\"" +
                Dir() + "my app\"\n");
  WriteFileText(Dir() + "ReadMe 100%.txt", "text");
  EXPECT_EQ(DesktopEntryText(Dir() + "ReadMe 100%.txt", "n", "d"),
            "[Desktop Entry]\nType=Application\nName=n\nComment=d\nExec=xdg-open \"" + Dir() +
                "ReadMe 100%%.txt\"\n");
  EXPECT_NE(CreateDesktopShortcut("/x", Dir() + "no/such/folder/a.desktop", "d"), 0u);
}

TEST_F(SetupPlatform, LibraryLoadFailuresAreCodes) {
  LibraryHandle library;
  std::string reason;
  EXPECT_EQ(LoadLibraryFile(Dir() + "missing.so", &library, &reason), 2u);
  WriteFileText(Dir() + "not.so", "not a library");
  EXPECT_EQ(LoadLibraryFile(Dir() + "not.so", &library, &reason), kErrorBadExeFormat);
  EXPECT_FALSE(reason.empty());
  EXPECT_FALSE(CallRegisterServer(library));
}

TEST_F(SetupPlatform, StandardFoldersMoveBelowTheRoot) {
  const std::string root = machine_.Root().string() + "/machine";
  EXPECT_EQ(WindowsFolder(), root + "/var/lib/brenvik/windows/");
  EXPECT_EQ(SystemFolder(), root + "/var/lib/brenvik/windows/system32/");
  EXPECT_EQ(TemporaryFolder(), machine_.Root().string() + "/tmp/");
  EXPECT_EQ(ProgramsFolder(ProgramsScope::kAllUsers), root + "/usr/local/share/applications/");
  EXPECT_EQ(ProgramsFolder(ProgramsScope::kCurrentUser),
            machine_.DataHome().string() + "/applications/");
  EXPECT_EQ(NetworkShareFolder("srv", "Brenvik"), root + "/net/srv/Brenvik");
}

TEST(MountTable, KeepsDevicesAndNetworkMounts) {
  std::vector<MountEntry> mounts = ParseMountTable(
      "proc /proc proc rw 0 0\n/dev/sda1 / ext4 rw 0 0\n/dev/sdb1 /media/my\\040stick vfat rw 0 "
      "0\n//fileserver/Public /mnt/pub cifs rw 0 0\nnas:/export/home /home nfs4 rw 0 0\n");
  ASSERT_EQ(mounts.size(), 4u);
  EXPECT_EQ(mounts[1].mount_point, "/media/my stick/");
  std::string server, share;
  ASSERT_TRUE(NetworkMountSource(mounts[2], &server, &share));
  EXPECT_EQ(server, "fileserver");
  EXPECT_EQ(share, "Public");
  ASSERT_TRUE(NetworkMountSource(mounts[3], &server, &share));
  EXPECT_EQ(server, "nas");
  EXPECT_EQ(share, "export/home");
  EXPECT_FALSE(NetworkMountSource(mounts[0], &server, &share));
  EXPECT_EQ(DriveTypeOf(mounts[2]), kDriveRemote);
  EXPECT_EQ(MountHolding(mounts, "/mnt/pub/a/b.txt"), &mounts[2]);
  EXPECT_EQ(MountHolding(mounts, "/etc/x"), &mounts[0]);
  EXPECT_EQ(MountHolding(mounts, "/mnt/pub"), &mounts[2]);
}

}  // namespace
}  // namespace tessary::platform
