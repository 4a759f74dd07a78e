#include "support/bvk_file_util.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/ui/scripted_ui_host.h"
#include "support/bvk_registry.h"
#include "test_support.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
using platform::ScriptedUiHost;
using testing::ReadFileText;
using testing::WriteFileText;
using Interactive = CBVKFileUtil::Interactive;
using Overwrite = CBVKFileUtil::Overwrite;

constexpr char kNotFound[] = "The system cannot find the file specified. (2)";
constexpr char kPathNotFound[] = "The system cannot find the path specified. (3)";
constexpr char kAccessDenied[] = "Access is denied. (5)";

// Sets or removes an environment variable for the life of the object.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) saved_ = old;
    if (value)
      setenv(name, value->c_str(), 1);
    else
      unsetenv(name);
  }
  ~ScopedEnvironment() {
    if (saved_)
      setenv(name_, saved_->c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

// Programs started without waiting show their work a little later; waits for it, without any
// assertion on how long it took.
bool EventuallyExists(const fs::path& path) {
  for (int i = 0; i < 600; ++i) {
    if (fs::exists(path)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

class FileUtilTest : public testing::MachineTest {
 protected:
  void SetUp() override {
    platform::SetUiHost(&host_);
    folder_ = machine_.Root() / "files";
    fs::create_directories(folder_);
  }
  void TearDown() override { platform::SetUiHost(nullptr); }

  std::string At(const std::string& name) const { return (folder_ / name).string(); }
  // A regular file that other paths are placed below, so that they cannot exist.
  std::string Blocker() {
    WriteFileText(At("blocker"), "x");
    return At("blocker");
  }
  const std::string& Text() const { return util_.Error().Text(); }
  std::vector<unsigned> QuestionTypes() const {
    std::vector<unsigned> types;
    for (const auto& message : host_.Messages()) types.push_back(message.type);
    return types;
  }

  ScriptedUiHost host_;
  CBVKFileUtil util_;
  fs::path folder_;
};

// --- Looking files up ---

TEST_F(FileUtilTest, ExistsFindsFilesAndFolders) {
  WriteFileText(At("a.txt"), "x");
  bool exists = false;
  ASSERT_TRUE(util_.Exists(At("a.txt"), &exists));
  EXPECT_TRUE(exists);
  ASSERT_TRUE(util_.Exists(folder_.string(), &exists));
  EXPECT_TRUE(exists);
}

TEST_F(FileUtilTest, MissingFileOrPathIsASuccessfulNo) {
  bool exists = true;
  ASSERT_TRUE(util_.Exists(At("missing.txt"), &exists));
  EXPECT_FALSE(exists);
  exists = true;
  ASSERT_TRUE(util_.Exists(At("missing/deeper.txt"), &exists));
  EXPECT_FALSE(exists);
  exists = true;
  ASSERT_TRUE(util_.Exists(Blocker() + "/below.txt", &exists));
  EXPECT_FALSE(exists);
  EXPECT_EQ(Text(), "");
}

TEST_F(FileUtilTest, ExistsFailsWhenTheLookupFails) {
  fs::create_symlink("loop", At("loop"));
  bool exists = false;
  EXPECT_FALSE(util_.Exists(At("loop"), &exists));
  EXPECT_EQ(Text(), "Could not search for the file: " + At("loop") +
                        "\nThe name of the file cannot be resolved by the system. (781)");
}

TEST_F(FileUtilTest, FileInfoGivesTheLastWriteTime) {
  WriteFileText(At("a.txt"), "x");
  const struct timespec times[2] = {{1000000000, 0}, {1234567890, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, At("a.txt").c_str(), times, 0), 0);
  std::time_t written = 0;
  ASSERT_TRUE(util_.GetFileInfo(At("a.txt"), &written));
  EXPECT_EQ(written, 1234567890);
}

TEST_F(FileUtilTest, FileInfoOfAMissingFileFails) {
  std::time_t written = 0;
  EXPECT_FALSE(util_.GetFileInfo(At("missing.txt"), &written));
  EXPECT_EQ(Text(), "Could not locate the file '" + At("missing.txt") + "'.\n" + kNotFound);
  EXPECT_EQ(util_.Error().Code(), 2);
}

TEST_F(FileUtilTest, FileSizeIsTheWholeSize) {
  WriteFileText(At("five.txt"), "12345");
  std::uint64_t size = 0;
  ASSERT_TRUE(util_.GetFileSize(At("five.txt"), &size));
  EXPECT_EQ(size, 5u);
  // Past 4 GB the size must not wrap (a sparse file takes no disk space).
  fs::resize_file(At("five.txt"), 5'000'000'000ull);
  ASSERT_TRUE(util_.GetFileSize(At("five.txt"), &size));
  EXPECT_EQ(size, 5'000'000'000ull);
}

TEST_F(FileUtilTest, FileSizeOfAMissingFileOrAFolderFails) {
  std::uint64_t size = 0;
  EXPECT_FALSE(util_.GetFileSize(At("missing"), &size));
  EXPECT_EQ(Text(), "Could not access the file '" + At("missing") + "'.\n" + kNotFound);
  EXPECT_FALSE(util_.GetFileSize(folder_.string(), &size));
  EXPECT_EQ(Text(), "Could not access the file '" + folder_.string() + "'.\n" + kAccessDenied);
}

// --- Folders ---

TEST_F(FileUtilTest, CreateFolderCreatesEveryMissingLevel) {
  ASSERT_TRUE(util_.CreateFolder(At("one/two/three")));
  EXPECT_TRUE(fs::is_directory(At("one")));
  EXPECT_TRUE(fs::is_directory(At("one/two")));
  EXPECT_TRUE(fs::is_directory(At("one/two/three")));
  // Existing already, and with a trailing slash.
  EXPECT_TRUE(util_.CreateFolder(At("one/two/three")));
  EXPECT_TRUE(util_.CreateFolder(At("one/two/three/")));
  ASSERT_TRUE(util_.CreateFolder(At("four/")));
  EXPECT_TRUE(fs::is_directory(At("four")));
}

TEST_F(FileUtilTest, CreateFolderWhereAFileStandsFails) {
  std::string blocker = Blocker();
  EXPECT_FALSE(util_.CreateFolder(blocker));
  EXPECT_EQ(Text(), "Could not create the directory: " + blocker +
                        "\nCannot create a file when that file already exists. (b7)");
  // The file in the way is named, not the folder below it.
  EXPECT_FALSE(util_.CreateFolder(blocker + "/x/y"));
  EXPECT_EQ(Text(), "Could not create the directory: " + blocker +
                        "\nCannot create a file when that file already exists. (b7)");
  EXPECT_FALSE(fs::exists(blocker + "/x"));
  EXPECT_TRUE(host_.Messages().empty());
}

TEST_F(FileUtilTest, CreateFolderNeverCreatesAServerShare) {
  const std::string net = (machine_.Root() / "machine/net").string();
  EXPECT_FALSE(util_.CreateFolder(net + "/server/share/one/two"));
  EXPECT_EQ(Text(), "Could not create the directory: " + net +
                        "/server/share\nThe network path was not found. (35)");
  EXPECT_FALSE(fs::exists(net));
  // Once the share is there (mounted), the folders inside it are created.
  fs::create_directories(net + "/server/share");
  ASSERT_TRUE(util_.CreateFolder(net + "/server/share/one/two/"));
  EXPECT_TRUE(fs::is_directory(net + "/server/share/one/two"));
  EXPECT_TRUE(util_.CreateFolder(net + "/server/share"));
}

TEST_F(FileUtilTest, CreateFolderAsksRetryWhenInteractive) {
  std::string blocker = Blocker();
  host_.QueueAnswer(platform::kIdRetry);
  host_.QueueAnswer(platform::kIdCancel);
  EXPECT_FALSE(util_.CreateFolder(blocker, Interactive::Yes));
  EXPECT_EQ(QuestionTypes(), (std::vector<unsigned>{21, 21}));
  EXPECT_EQ(host_.Messages()[0].text, Text());
}

TEST_F(FileUtilTest, RemoveFolderRemovesAnEmptyFolder) {
  fs::create_directories(At("empty"));
  ASSERT_TRUE(util_.RemoveFolder(At("empty/")));
  EXPECT_FALSE(fs::exists(At("empty")));
}

TEST_F(FileUtilTest, RemoveFolderKeepsAFullFolder) {
  WriteFileText(At("full/a.txt"), "x");
  EXPECT_FALSE(util_.RemoveFolder(At("full")));
  EXPECT_EQ(Text(), "Could not remove the directory '" + At("full") +
                        "'.\nThe directory is not empty. (91)");
  EXPECT_TRUE(fs::exists(At("full/a.txt")));
}

TEST_F(FileUtilTest, RemoveFolderInteractiveIgnoreSucceedsAbortFails) {
  WriteFileText(At("full/a.txt"), "x");
  host_.QueueAnswer(platform::kIdRetry);
  host_.QueueAnswer(platform::kIdIgnore);
  EXPECT_TRUE(util_.RemoveFolder(At("full"), Interactive::Yes));
  host_.QueueAnswer(platform::kIdAbort);
  EXPECT_FALSE(util_.RemoveFolder(At("full"), Interactive::Yes));
  EXPECT_EQ(QuestionTypes(), (std::vector<unsigned>{18, 18, 18}));
}

// --- Deleting, copying, attributes ---

TEST_F(FileUtilTest, DeleteRemovesAFile) {
  WriteFileText(At("a.txt"), "x");
  ASSERT_TRUE(util_.Delete(At("a.txt")));
  EXPECT_FALSE(fs::exists(At("a.txt")));
}

TEST_F(FileUtilTest, DeletingAMissingFileSucceedsWithoutMessage) {
  EXPECT_TRUE(util_.Delete(At("missing.txt"), Interactive::Yes));
  EXPECT_EQ(Text(), "");
  EXPECT_TRUE(host_.Messages().empty());
}

TEST_F(FileUtilTest, DeleteOfAFolderFails) {
  fs::create_directories(At("folder"));
  EXPECT_FALSE(util_.Delete(At("folder")));
  EXPECT_EQ(Text(), "Could not delete the file: " + At("folder") + "\n" + kAccessDenied);
  EXPECT_TRUE(fs::is_directory(At("folder")));
}

TEST_F(FileUtilTest, DeleteBelowAFileIsAPathFailure) {
  std::string path = Blocker() + "/a.txt";
  EXPECT_FALSE(util_.Delete(path));
  EXPECT_EQ(Text(), "Could not delete the file: " + path + "\n" + kPathNotFound);
}

TEST_F(FileUtilTest, DeleteInteractiveAsksAbortRetryIgnoreWithWarningIcon) {
  fs::create_directories(At("folder"));
  host_.QueueAnswer(platform::kIdIgnore);
  EXPECT_TRUE(util_.Delete(At("folder"), Interactive::Yes));
  host_.QueueAnswer(platform::kIdRetry);
  host_.QueueAnswer(platform::kIdAbort);
  EXPECT_FALSE(util_.Delete(At("folder"), Interactive::Yes));
  EXPECT_EQ(QuestionTypes(), (std::vector<unsigned>{50, 50, 50}));
}

TEST_F(FileUtilTest, CopyReplacesTheDestinationAndKeepsTheTime) {
  WriteFileText(At("source.dat"), "new content");
  WriteFileText(At("dest.dat"), "old content that is longer");
  const struct timespec times[2] = {{1000000000, 0}, {1100000000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, At("source.dat").c_str(), times, 0), 0);
  ASSERT_TRUE(util_.Copy(At("source.dat"), At("dest.dat")));
  EXPECT_EQ(ReadFileText(At("dest.dat")), "new content");
  std::time_t written = 0;
  ASSERT_TRUE(util_.GetFileInfo(At("dest.dat"), &written));
  EXPECT_EQ(written, 1100000000);
}

TEST_F(FileUtilTest, CopyOfAMissingSourceLeavesTheDestination) {
  WriteFileText(At("dest.dat"), "keep");
  EXPECT_FALSE(util_.Copy(At("missing.dat"), At("dest.dat")));
  EXPECT_EQ(Text(), "Could not copy the file: " + At("missing.dat") + " to: " + At("dest.dat") +
                        "\n" + kNotFound);
  EXPECT_EQ(ReadFileText(At("dest.dat")), "keep");
}

TEST_F(FileUtilTest, CopyOntoAFolderFailsAndLeavesNothingBehind) {
  WriteFileText(At("source.dat"), "x");
  fs::create_directories(At("dest"));
  EXPECT_FALSE(util_.Copy(At("source.dat"), At("dest")));
  EXPECT_TRUE(Text().starts_with("Could not copy the file: " + At("source.dat") +
                                 " to: " + At("dest") + "\n"));
  std::vector<std::string> names;
  ASSERT_TRUE(util_.ListFiles(folder_.string(), &names, CBVKFileUtil::IncludeFiles::Yes));
  EXPECT_EQ(names, (std::vector<std::string>{"dest", "source.dat"}));
}

TEST_F(FileUtilTest, CopyQuestionsFollowTheQuestionKind) {
  host_.QueueAnswer(platform::kIdIgnore);
  EXPECT_TRUE(util_.Copy(At("missing"), At("dest"), Interactive::Yes,
                         CBVKFileUtil::CopyQuestion::AbortRetryIgnore));
  host_.QueueAnswer(platform::kIdCancel);
  EXPECT_FALSE(util_.Copy(At("missing"), At("dest"), Interactive::Yes,
                          CBVKFileUtil::CopyQuestion::RetryCancel));
  EXPECT_EQ(QuestionTypes(), (std::vector<unsigned>{50, 21}));
}

TEST_F(FileUtilTest, CopyRetrySucceedsOnceTheSourceIsThere) {
  // The scripted host cannot change the disk between answers, so the source appears before
  // the question is answered; the first attempt already failed.
  class CreatingHost : public ScriptedUiHost {
   public:
    explicit CreatingHost(std::string path) : path_(std::move(path)) {}
    int ShowMessageBox(const platform::Window* owner, const std::string& caption,
                       const std::string& text, unsigned type) override {
      WriteFileText(path_, "late");
      ScriptedUiHost::ShowMessageBox(owner, caption, text, type);
      return platform::kIdRetry;
    }

   private:
    std::string path_;
  } host(At("late.dat"));
  platform::SetUiHost(&host);
  EXPECT_TRUE(util_.Copy(At("late.dat"), At("dest.dat"), Interactive::Yes));
  EXPECT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(ReadFileText(At("dest.dat")), "late");
}

TEST_F(FileUtilTest, ReadOnlyAttributeTakesAndGivesWritePermission) {
  WriteFileText(At("a.txt"), "x");
  fs::permissions(At("a.txt"), fs::perms(0664));
  ASSERT_TRUE(util_.SetAttributes(At("a.txt"), CBVKFileUtil::kAttributeReadOnly));
  EXPECT_EQ(fs::status(At("a.txt")).permissions(), fs::perms(0444));
  ASSERT_TRUE(util_.SetAttributes(At("a.txt"), CBVKFileUtil::kAttributeNormal));
  EXPECT_EQ(fs::status(At("a.txt")).permissions(), fs::perms(0644));
}

TEST_F(FileUtilTest, AttributesOfAMissingFileFailAndAskUntilCancel) {
  host_.QueueAnswer(platform::kIdRetry);
  host_.QueueAnswer(platform::kIdRetry);
  host_.QueueAnswer(platform::kIdCancel);
  EXPECT_FALSE(
      util_.SetAttributes(At("missing"), CBVKFileUtil::kAttributeNormal, Interactive::Yes));
  EXPECT_EQ(Text(), "Could not set attributes on the file '" + At("missing") + "'.\n" + kNotFound);
  EXPECT_EQ(QuestionTypes(), (std::vector<unsigned>{21, 21, 21}));
}

// --- Text files ---

TEST_F(FileUtilTest, ReadLinesDropsLineEnds) {
  WriteFileText(At("a.csv"), "one\r\ntwo\n\r\nthree");
  std::vector<std::string> lines{"stale"};
  ASSERT_TRUE(util_.ReadLines(At("a.csv"), &lines));
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "", "three"}));
}

TEST_F(FileUtilTest, ReadLinesKeepsACarriageReturnInsideALine) {
  WriteFileText(At("a.csv"), "a\rb\r\n\r\r\n");
  std::vector<std::string> lines;
  ASSERT_TRUE(util_.ReadLines(At("a.csv"), &lines));
  EXPECT_EQ(lines, (std::vector<std::string>{"a\rb", "\r"}));
}

TEST_F(FileUtilTest, ReadLinesOfAnEmptyFileGivesNoLines) {
  WriteFileText(At("empty.csv"), "");
  std::vector<std::string> lines{"stale"};
  ASSERT_TRUE(util_.ReadLines(At("empty.csv"), &lines));
  EXPECT_TRUE(lines.empty());
}

TEST_F(FileUtilTest, ReadLinesStopsAtTheMaximum) {
  WriteFileText(At("a.csv"), "1\r\n2\r\n3\r\n4\r\n");
  std::vector<std::string> lines;
  ASSERT_TRUE(util_.ReadLines(At("a.csv"), &lines, Interactive::No, 2));
  EXPECT_EQ(lines, (std::vector<std::string>{"1", "2"}));
  ASSERT_TRUE(util_.ReadLines(At("a.csv"), &lines, Interactive::No, 0));
  EXPECT_EQ(lines.size(), 4u);
}

TEST_F(FileUtilTest, ReadLinesOfAMissingFileFails) {
  std::vector<std::string> lines{"stale"};
  EXPECT_FALSE(util_.ReadLines(At("missing.csv"), &lines));
  EXPECT_EQ(Text(), "Could not locate or read the file '" + At("missing.csv") + "'\n" + kNotFound);
  EXPECT_TRUE(lines.empty());
}

TEST_F(FileUtilTest, ReadLinesOfAFolderFails) {
  std::vector<std::string> lines;
  EXPECT_FALSE(util_.ReadLines(folder_.string(), &lines));
  EXPECT_EQ(Text(),
            "Could not locate or read the file '" + folder_.string() + "'\n" + kAccessDenied);
}

TEST_F(FileUtilTest, ReadLinesRetriesWhenAsked) {
  host_.QueueAnswer(platform::kIdRetry);
  host_.QueueAnswer(platform::kIdCancel);
  std::vector<std::string> lines;
  EXPECT_FALSE(util_.ReadLines(At("missing.csv"), &lines, Interactive::Yes));
  EXPECT_EQ(QuestionTypes(), (std::vector<unsigned>{21, 21}));
}

TEST_F(FileUtilTest, WriteLinesEndsEveryLineWithCrLf) {
  ASSERT_TRUE(util_.WriteLines(At("out.csv"), {"a,b", "", "c"}, Overwrite::Yes));
  EXPECT_EQ(ReadFileText(At("out.csv")), "a,b\r\n\r\nc\r\n");
}

TEST_F(FileUtilTest, WriteLinesOverwriteReplacesAndAppendAdds) {
  WriteFileText(At("out.csv"), "a much longer old content\r\n");
  ASSERT_TRUE(util_.WriteLines(At("out.csv"), {"x"}, Overwrite::Yes));
  EXPECT_EQ(ReadFileText(At("out.csv")), "x\r\n");
  ASSERT_TRUE(util_.WriteLines(At("out.csv"), {"y", "z"}, Overwrite::No));
  EXPECT_EQ(ReadFileText(At("out.csv")), "x\r\ny\r\nz\r\n");
}

TEST_F(FileUtilTest, AppendLineCreatesAndExtendsTheFile) {
  ASSERT_TRUE(util_.AppendLine(At("log.txt"), "first"));
  ASSERT_TRUE(util_.AppendLine(At("log.txt"), "second"));
  EXPECT_EQ(ReadFileText(At("log.txt")), "first\r\nsecond\r\n");
}

TEST_F(FileUtilTest, OverwriteKeepsPermissionsAndLeavesNoTemporaryFile) {
  WriteFileText(At("out.csv"), "old");
  fs::permissions(At("out.csv"), fs::perms(0640));
  ASSERT_TRUE(util_.WriteLines(At("out.csv"), {"new"}, Overwrite::Yes));
  EXPECT_EQ(fs::status(At("out.csv")).permissions(), fs::perms(0640));
  std::vector<std::string> names;
  ASSERT_TRUE(util_.ListFiles(folder_.string(), &names, CBVKFileUtil::IncludeFiles::Yes));
  EXPECT_EQ(names, (std::vector<std::string>{"out.csv"}));
}

TEST_F(FileUtilTest, OverwriteThroughALinkChangesTheLinkedFile) {
  WriteFileText(At("real.csv"), "old");
  fs::create_symlink("real.csv", At("link.csv"));
  ASSERT_TRUE(util_.WriteLines(At("link.csv"), {"new"}, Overwrite::Yes));
  EXPECT_TRUE(fs::is_symlink(At("link.csv")));
  EXPECT_EQ(ReadFileText(At("real.csv")), "new\r\n");
}

TEST_F(FileUtilTest, WriteLinesBelowAFileFails) {
  std::string path = Blocker() + "/out.csv";
  for (Overwrite overwrite : {Overwrite::Yes, Overwrite::No}) {
    EXPECT_FALSE(util_.WriteLines(path, {"x"}, overwrite));
    EXPECT_EQ(Text(), "Could not write to the file '" + path + "'\n" + kPathNotFound);
  }
}

TEST_F(FileUtilTest, WriteLinesOntoAFolderFailsAndKeepsIt) {
  WriteFileText(At("folder/inside.txt"), "keep");
  for (Overwrite overwrite : {Overwrite::Yes, Overwrite::No}) {
    EXPECT_FALSE(util_.WriteLines(At("folder"), {"x"}, overwrite));
    EXPECT_EQ(Text(), "Could not write to the file '" + At("folder") + "'\n" + kAccessDenied);
  }
  EXPECT_EQ(ReadFileText(At("folder/inside.txt")), "keep");
}

TEST_F(FileUtilTest, ReadOnlyFilesAreNeitherReplacedNorExtended) {
  WriteFileText(At("kept.csv"), "original");
  ASSERT_TRUE(util_.SetAttributes(At("kept.csv"), CBVKFileUtil::kAttributeReadOnly));
  for (Overwrite overwrite : {Overwrite::Yes, Overwrite::No}) {
    EXPECT_FALSE(util_.WriteLines(At("kept.csv"), {"x"}, overwrite));
    EXPECT_EQ(Text(), "Could not write to the file '" + At("kept.csv") + "'\n" + kAccessDenied);
  }
  EXPECT_EQ(ReadFileText(At("kept.csv")), "original");
  ASSERT_TRUE(util_.SetAttributes(At("kept.csv"), CBVKFileUtil::kAttributeNormal));
  EXPECT_TRUE(util_.AppendLine(At("kept.csv"), "more"));
  EXPECT_EQ(ReadFileText(At("kept.csv")), "originalmore\r\n");
}

TEST_F(FileUtilTest, WriteLinesAsksRetryWhenInteractive) {
  host_.QueueAnswer(platform::kIdCancel);
  EXPECT_FALSE(util_.WriteLines(Blocker() + "/x", {"x"}, Overwrite::Yes, Interactive::Yes));
  EXPECT_EQ(QuestionTypes(), (std::vector<unsigned>{21}));
}

TEST_F(FileUtilTest, LongLinesSurviveTheRoundTrip) {
  std::string long_line(1 << 20, 'v');
  long_line[12345] = ',';
  std::vector<std::string> lines{"head", long_line, long_line + "x", "tail"};
  ASSERT_TRUE(util_.WriteLines(At("big.csv"), lines, Overwrite::Yes));
  std::vector<std::string> read;
  ASSERT_TRUE(util_.ReadLines(At("big.csv"), &read));
  EXPECT_TRUE(read == lines);
}

// --- Listing ---

TEST_F(FileUtilTest, ListFilesListsFoldersOrEverythingSorted) {
  WriteFileText(At("b.csv"), "x");
  WriteFileText(At("A.CSV"), "x");
  WriteFileText(At("notes.txt"), "x");
  fs::create_directories(At("sub"));
  fs::create_symlink("sub", At("link-to-sub"));
  std::vector<std::string> names{"stale"};
  ASSERT_TRUE(util_.ListFiles(folder_.string(), &names, CBVKFileUtil::IncludeFiles::No));
  EXPECT_EQ(names, (std::vector<std::string>{"link-to-sub", "sub"}));
  ASSERT_TRUE(util_.ListFiles(folder_.string() + "/", &names, CBVKFileUtil::IncludeFiles::Yes));
  EXPECT_EQ(names, (std::vector<std::string>{"A.CSV", "b.csv", "link-to-sub", "notes.txt", "sub"}));
}

TEST_F(FileUtilTest, ListFilesMatchesWindowsWildcardsWithoutCase) {
  for (const char* name : {"Setup1.log", "SETUP22.LOG", "setup.txt", "other.log", "setup3.log.bak"})
    WriteFileText(At(name), "x");
  std::vector<std::string> names;
  ASSERT_TRUE(
      util_.ListFiles(folder_.string(), &names, CBVKFileUtil::IncludeFiles::Yes, "setup*.log"));
  EXPECT_EQ(names, (std::vector<std::string>{"SETUP22.LOG", "Setup1.log"}));
  ASSERT_TRUE(
      util_.ListFiles(folder_.string(), &names, CBVKFileUtil::IncludeFiles::Yes, "setup?.log"));
  EXPECT_EQ(names, (std::vector<std::string>{"Setup1.log"}));
}

TEST_F(FileUtilTest, ListFilesOfAMissingFolderFails) {
  std::vector<std::string> names{"stale"};
  EXPECT_FALSE(util_.ListFiles(At("missing"), &names, CBVKFileUtil::IncludeFiles::Yes));
  EXPECT_EQ(Text(), "Could not access '" + At("missing") + "/'.\n" + kNotFound);
  EXPECT_TRUE(names.empty());
  std::string blocker = Blocker();
  EXPECT_FALSE(util_.ListFiles(blocker, &names, CBVKFileUtil::IncludeFiles::Yes));
  EXPECT_EQ(Text(), "Could not access '" + blocker + "/'.\n" + kPathNotFound);
}

// --- Names ---

TEST(FileNames, ExpandNameReplacesOnlyACompressedSuffix) {
  std::string name = "Setup.exe";
  CBVKFileUtil::ExpandName(&name);
  EXPECT_EQ(name, "Setup.exe");
  name = "TY-Help.hl_";
  CBVKFileUtil::ExpandName(&name);
  EXPECT_EQ(name, "TY-Help.hlp");
  for (auto [compressed, full] : {std::pair{"a.ex_", "a.exe"},
                                  {"Files.da_", "Files.dat"},
                                  {"x.tl_", "x.tlb"},
                                  {"db.md_", "db.mdb"},
                                  {"lib.dl_", "lib.dll"},
                                  {"a.ex_.txt", "a.ex_.txt"}}) {
    name = compressed;
    CBVKFileUtil::ExpandName(&name);
    EXPECT_EQ(name, full);
  }
}

TEST(FileNames, FileNameIsTheTextAfterTheLastSlash) {
  EXPECT_EQ(CBVKFileUtil::GetFileName("/opt/brenvik/Tessary.exe"), "Tessary.exe");
  EXPECT_EQ(CBVKFileUtil::GetFileName("Tessary.exe"), "Tessary.exe");
  EXPECT_EQ(CBVKFileUtil::GetFileName("/opt/brenvik/"), "");
  EXPECT_EQ(CBVKFileUtil::AddTrailingSlash("/opt"), "/opt/");
  EXPECT_EQ(CBVKFileUtil::AddTrailingSlash("/opt/"), "/opt/");
}

// --- Standard folders ---

TEST_F(FileUtilTest, InitFoldersFindsEveryFolderWithATrailingSlash) {
  ASSERT_TRUE(util_.InitFolders()) << Text();
  const std::string root = (machine_.Root() / "machine").string();
  EXPECT_EQ(util_.SourceFolder(), fs::current_path().string() + "/");
  EXPECT_EQ(util_.TemporaryFolder(), (machine_.Root() / "tmp").string() + "/");
  EXPECT_EQ(util_.WindowsFolder(), root + "/var/lib/brenvik/windows/");
  EXPECT_EQ(util_.SystemFolder(), root + "/var/lib/brenvik/windows/system32/");
  EXPECT_EQ(util_.ProgramFilesFolder(), root + "/opt/");
  EXPECT_EQ(util_.CommonFilesFolder(), root + "/opt/common/");
}

TEST_F(FileUtilTest, ProgramFilesFolderComesFromTheRegistry) {
  CBVKRegistry registry;
  ASSERT_TRUE(registry.OpenKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"));
  ASSERT_TRUE(registry.WriteString("ProgramFilesDir", "/srv/programs"));
  ASSERT_TRUE(util_.GetProgramFilesFolder());
  EXPECT_EQ(util_.ProgramFilesFolder(), "/srv/programs/");
  ASSERT_TRUE(registry.DeleteValue("CommonFilesDir"));
  EXPECT_FALSE(util_.GetCommonFilesFolder());
  EXPECT_EQ(Text(), "Could not locate the path of the common files folder.");
  EXPECT_FALSE(util_.InitFolders());
  EXPECT_EQ(Text(), "Could not locate the path of the common files folder.");
}

TEST_F(FileUtilTest, DesktopFolderNeedsItsRegistryValue) {
  EXPECT_FALSE(util_.GetDesktopFolder());
  EXPECT_EQ(Text(), "Could not locate the path to the desktop.");
  CBVKRegistry registry;
  ASSERT_TRUE(registry.OpenKey(HKEY_CURRENT_USER,
                               "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell "
                               "Folders"));
  ASSERT_TRUE(registry.WriteString("Desktop", "/home/me/Desktop"));
  ASSERT_TRUE(util_.GetDesktopFolder());
  EXPECT_EQ(util_.DesktopFolder(), "/home/me/Desktop/");
}

// --- Starting programs ---

TEST_F(FileUtilTest, RunStartsTheProgramWithItsArguments) {
  const std::string target = At("made by touch.txt");
  ASSERT_TRUE(util_.Run("/usr/bin", "touch", "\"" + target + "\" " + At("second.txt"))) << Text();
  EXPECT_TRUE(EventuallyExists(target));
  EXPECT_TRUE(EventuallyExists(At("second.txt")));
}

TEST_F(FileUtilTest, RunOfAWholeCommandLine) {
  ASSERT_TRUE(util_.Run("", "", "touch " + At("whole.txt"))) << Text();
  EXPECT_TRUE(EventuallyExists(At("whole.txt")));
}

TEST_F(FileUtilTest, RunOfAMissingProgramFails) {
  EXPECT_FALSE(util_.Run(folder_.string(), "missing-program", "x"));
  EXPECT_EQ(Text(), "Could not run the file '" + At("missing-program") + "'.\n" + kNotFound);
  EXPECT_FALSE(util_.Run(At("missing-folder"), "touch", "x"));
  EXPECT_EQ(Text(), "Could not run the file '" + At("missing-folder") +
                        "/touch'.\nThe directory name is invalid. (10b)");
  EXPECT_FALSE(util_.Run("", "", "missing-program-of-tessary-tests x"));
  EXPECT_EQ(Text(), "Could not run the file 'missing-program-of-tessary-tests'.\n" +
                        std::string(kNotFound));
}

TEST_F(FileUtilTest, NotepadOpensTheWholeArgumentInTheEditor) {
  ScopedEnvironment display("DISPLAY", std::nullopt);
  ScopedEnvironment wayland("WAYLAND_DISPLAY", std::nullopt);
  ScopedEnvironment visual("VISUAL", "touch");
  const std::string error_file = At("Import errors 1.csv");
  // From a Windows folder that does not exist on this machine, as setup names it.
  ASSERT_TRUE(util_.Run(At("windows"), "Notepad.exe", error_file)) << Text();
  EXPECT_TRUE(EventuallyExists(error_file));
}

TEST_F(FileUtilTest, HtmlFilesOpenWithTheRegisteredProgram) {
  CBVKRegistry registry;
  ASSERT_TRUE(registry.OpenKey(HKEY_CLASSES_ROOT, "htmlfile\\shell\\open\\command"));
  ASSERT_TRUE(registry.WriteString("", "touch \"%1\""));
  ASSERT_TRUE(util_.OpenHtmlFile(At("TY Index.htm"))) << Text();
  EXPECT_TRUE(EventuallyExists(At("TY Index.htm")));
  ASSERT_TRUE(registry.OpenKey(HKEY_CLASSES_ROOT, "http\\shell\\open\\command"));
  ASSERT_TRUE(registry.WriteString("", "/usr/bin/touch"));
  ASSERT_TRUE(util_.OpenInBrowser(At("address")));
  EXPECT_TRUE(EventuallyExists(At("address")));
  EXPECT_TRUE(host_.Messages().empty());
}

TEST_F(FileUtilTest, MissingRegistrationShowsTheRegistryMessage) {
  CBVKRegistry registry;
  ASSERT_TRUE(registry.OpenKey(HKEY_CLASSES_ROOT, ""));
  ASSERT_TRUE(registry.DeleteTree("htmlfile"));
  EXPECT_FALSE(util_.OpenHtmlFile(At("TY-Index.htm")));
  ASSERT_EQ(host_.Messages().size(), 1u);
  EXPECT_EQ(host_.Messages()[0].type, 16u);
  EXPECT_TRUE(host_.Messages()[0].text.starts_with(
      "Could not access the registry key: 'htmlfile\\shell\\open\\command'."))
      << host_.Messages()[0].text;
  EXPECT_EQ(Text(), host_.Messages()[0].text);
}

TEST_F(FileUtilTest, EmptyRegistrationOpensNothing) {
  CBVKRegistry registry;
  ASSERT_TRUE(registry.OpenKey(HKEY_CLASSES_ROOT, "http\\shell\\open\\command"));
  ASSERT_TRUE(registry.WriteString("", ""));
  EXPECT_FALSE(util_.OpenInBrowser("http://localhost/"));
  EXPECT_EQ(Text(), "No program is registered to open 'http://localhost/'.");
  ASSERT_EQ(host_.Messages().size(), 1u);
  EXPECT_EQ(host_.Messages()[0].text, Text());
}

}  // namespace
}  // namespace tessary
