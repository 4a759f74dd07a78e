// The run's own rules, on entries that never reach the directory: modes, cancel, the summary,
// the logs and the file failures.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "import_test_util.h"
#include "platform/ui/scripted_ui_host.h"
#include "support/bvk_progress_dlg.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
using testing::ReadLines;
using Lines = std::vector<std::string>;

class ImportRunTest : public testing::MachineTest {
 protected:
  void SetUp() override {
    testing::SetUsRegionalSettings();
    engine_.DataFolder = (machine_.Root() / "program").string() + "/";
    fs::create_directories(engine_.DataFolder);
    engine_.ErrorFolder = (machine_.Root() / "errors").string() + "/";
    fs::create_directories(engine_.ErrorFolder);
    engine_.ImportFile = (machine_.Root() / "import.csv").string();
  }
  void Prepare(const Lines& lines) {
    testing::WriteLines(engine_.ImportFile, lines);
    ASSERT_TRUE(engine_.CheckImportFile()) << engine_.Error().Text();
  }
  // The log without its time stamps.
  Lines LogTexts() {
    Lines texts;
    for (const std::string& line : ReadLines(engine_.OperationsLogPath())) {
      texts.push_back(line.substr(line.find(": ") + 2));
    }
    return texts;
  }
  std::string Expected(int deleted, int created, int modified, int errors) {
    std::string text = "Processing of import file '" + engine_.ImportFile + "' has completed.\n\n" +
                       std::to_string(deleted) + " 'delete' entries were processed.\n" +
                       std::to_string(created) + " 'create' entries were processed.\n" +
                       std::to_string(modified) + " 'modify' entries were processed.\n" +
                       std::to_string(errors) + " errors occurred.";
    if (errors > 0) text += "\n\nError file: " + engine_.ErrorFilePath;
    return text;
  }

  // The log's one-day rule compares its file's real last-write time with this clock.
  FixedClock clock_{std::time(nullptr)};
  CImportEngine engine_{nullptr, clock_};
  ScriptedProgressHost host_;
};

TEST_F(ImportRunTest, HeaderOnlyFileGivesFourZerosAndNoErrorFile) {
  Prepare({"mode,distinguishedName"});
  EXPECT_EQ(testing::RunBehindDialog(engine_, host_), 1);
  EXPECT_EQ(engine_.Error().Text(), Expected(0, 0, 0, 0));
  EXPECT_EQ(engine_.ErrorCount, 0);
  EXPECT_FALSE(fs::exists(engine_.ErrorFilePath));
  EXPECT_EQ(LogTexts(),
            (Lines{"---------------------------------------", "Beginning Import...",
                   "Import file: " + engine_.ImportFile, "Text encoding: UTF-8",
                   "Processing of import file '" + engine_.ImportFile +
                       "' has completed.; ; 0 'delete' entries were processed.; "
                       "0 'create' entries were processed.; 0 'modify' entries were processed.; 0 "
                       "errors occurred."}));
}

TEST_F(ImportRunTest, ErrorFileIsNamedByTheRunsStartWithoutForbiddenCharacters) {
  Prepare({"mode,distinguishedName", ",CN=a"});
  FixedClock morning(testing::MorningOfFifthDecember2006());
  CImportEngine engine(nullptr, morning);
  engine.ErrorFolder = engine_.ErrorFolder;
  engine.ImportFile = engine_.ImportFile;
  ASSERT_TRUE(engine.CheckImportFile());
  EXPECT_EQ(testing::RunBehindDialog(engine, host_), 1);
  EXPECT_EQ(engine.ErrorFilePath, engine.ErrorFolder + "Errors - 12 5 2006 10 30 00 AM.csv");
  EXPECT_TRUE(fs::exists(engine.ErrorFilePath));
}

TEST_F(ImportRunTest, EntriesWithoutValidModeAreOnlyRecordedAsErrors) {
  Prepare({"mode,distinguishedName", ",\"CN=a,DC=x\"", "Rename,\"CN=b,DC=x\"", "CN=c"});
  EXPECT_EQ(testing::RunBehindDialog(engine_, host_), 1);
  EXPECT_EQ(engine_.ErrorCount, 3);
  EXPECT_EQ(engine_.Error().Text(), Expected(0, 0, 0, 3));
  EXPECT_EQ(ReadLines(engine_.ErrorFilePath),
            (Lines{"mode,distinguishedName,Error", ",\"CN=a,DC=x\",\"No mode was specified.\"",
                   "Rename,\"CN=b,DC=x\",\"Unspecified action!  Please specify 'Move', 'Modify', "
                   "'Create' or 'Delete' in the 'mode' column.\"",
                   "CN=c,\"Unspecified action!  Please specify 'Move', 'Modify', 'Create' or "
                   "'Delete' in the 'mode' column.\""}));
  const Lines log = LogTexts();
  ASSERT_EQ(log.size(), 9u);
  EXPECT_EQ(log[3], "Text encoding: UTF-8");
  EXPECT_EQ(log[4], "Processing 1 of 3...");
  EXPECT_EQ(log[5], "No mode was specified.");
  EXPECT_EQ(log[6], "Processing 2 of 3...");
  EXPECT_EQ(log[7], "Processing 3 of 3...");
}

TEST_F(ImportRunTest, EntryEndingBeforeTheModeColumnHasNoMode) {
  Prepare({"distinguishedName,cn,mode", "CN=a\\,DC=x"});
  EXPECT_EQ(testing::RunBehindDialog(engine_, host_), 1);
  EXPECT_EQ(ReadLines(engine_.ErrorFilePath)[1], "CN=a\\,DC=x,\"No mode was specified.\"");
}

TEST_F(ImportRunTest, ProgressShowsEveryEntry) {
  Prepare({"mode,distinguishedName", ",CN=a", ",CN=b"});
  EXPECT_EQ(testing::RunBehindDialog(engine_, host_), 1);
  EXPECT_EQ(host_.Log(),
            (Lines{"animation 1055: 202", "range 1057: 2 step 1", "text -1: Processing 1 of 2...",
                   "step 1057", "text -1: Processing 2 of 2...", "position 1057: 1", "end: 1"}));
}

TEST_F(ImportRunTest, CancelTakesEffectBetweenEntries) {
  Prepare({"mode,distinguishedName", ",CN=1", ",CN=2", ",CN=3", ",CN=4", ",CN=5"});
  host_.PressAfterProgress(2, 1056);
  EXPECT_EQ(testing::RunBehindDialog(engine_, host_), 1);
  EXPECT_EQ(engine_.ErrorCount, 2);
  EXPECT_EQ(ReadLines(engine_.ErrorFilePath).size(), 3u);
  const Lines log = LogTexts();
  EXPECT_EQ(log[log.size() - 2], "Operation cancelled by user");
  EXPECT_EQ(engine_.Error().Text(), Expected(0, 0, 0, 2));
  EXPECT_EQ(host_.ControlText(-1), "Processing cancel message, please wait...");
}

TEST_F(ImportRunTest, UnreadableImportFileEndsTheRunWithZero) {
  Prepare({"mode,distinguishedName"});
  fs::remove(engine_.ImportFile);
  EXPECT_EQ(testing::RunBehindDialog(engine_, host_), 0);
  const std::string expected = "Could not locate or read the file '" + engine_.ImportFile + "'";
  EXPECT_EQ(engine_.Error().Text().substr(0, expected.size()), expected);
  EXPECT_EQ(LogTexts().back().substr(0, expected.size()), expected);
}

TEST_F(ImportRunTest, UnwritableErrorFolderEndsTheRunBeforeTheFirstEntry) {
  Prepare({"mode,distinguishedName", ",CN=a", ",CN=b"});
  engine_.ErrorFolder = (machine_.Root() / "no-such-folder").string() + "/";
  platform::ScriptedUiHost ui;
  platform::SetUiHost(&ui);
  EXPECT_EQ(testing::RunBehindDialog(engine_, host_), 0);
  platform::SetUiHost(nullptr);
  EXPECT_TRUE(ui.Messages().empty());
  EXPECT_EQ(engine_.ErrorCount, 0);
  const std::string expected = "Could not create the file '" + engine_.ErrorFilePath + "'.\n";
  EXPECT_TRUE(engine_.Error().Text().starts_with(expected)) << engine_.Error().Text();
  EXPECT_TRUE(engine_.Error().Text().ends_with(
      "\nNothing was imported, because the entries that fail could not be recorded. Choose an "
      "error folder that can be written."));
  const Lines log = LogTexts();
  EXPECT_TRUE(log.back().starts_with("Could not create the file '")) << log.back();
  for (const std::string& line : log) EXPECT_FALSE(line.starts_with("Processing 1")) << line;
}

TEST_F(ImportRunTest, RunsStartingInTheSameSecondKeepApartErrorFiles) {
  FixedClock morning(testing::MorningOfFifthDecember2006());
  const std::string first_name = engine_.ErrorFolder + "Errors - 12 5 2006 10 30 00 AM.csv";
  const std::string second_name = engine_.ErrorFolder + "Errors - 12 5 2006 10 30 00 AM (2).csv";
  auto run = [&](const Lines& lines) {
    testing::WriteLines(engine_.ImportFile, lines);
    CImportEngine engine(nullptr, morning);
    engine.ErrorFolder = engine_.ErrorFolder;
    engine.ImportFile = engine_.ImportFile;
    EXPECT_TRUE(engine.CheckImportFile()) << engine.Error().Text();
    ScriptedProgressHost host;
    EXPECT_EQ(testing::RunBehindDialog(engine, host), 1);
    return engine.ErrorFilePath;
  };
  EXPECT_EQ(run({"mode,distinguishedName", ",CN=first"}), first_name);
  EXPECT_EQ(run({"distinguishedName,cn,mode", "CN=second,text,"}), second_name);
  // A run without failures gives back the name it took.
  EXPECT_EQ(run({"mode,distinguishedName"}),
            engine_.ErrorFolder + "Errors - 12 5 2006 10 30 00 AM (3).csv");
  EXPECT_FALSE(fs::exists(engine_.ErrorFolder + "Errors - 12 5 2006 10 30 00 AM (3).csv"));
  EXPECT_EQ(ReadLines(first_name),
            (Lines{"mode,distinguishedName,Error", ",CN=first,\"No mode was specified.\""}));
  EXPECT_EQ(ReadLines(second_name), (Lines{"distinguishedName,cn,mode,Error",
                                           "CN=second,text,,\"No mode was specified.\""}));
}

TEST_F(ImportRunTest, ErrorFileIsPrivateAndTheLogHoldsNoPassword) {
  // With the usual umask a file that is not made private would be readable by everyone.
  const mode_t saved_umask = ::umask(022);
  Prepare({"mode,distinguishedName,password", ",CN=a,S3cret-Pa55!", "Rename,CN=b,0ther-Pa55!"});
  EXPECT_EQ(testing::RunBehindDialog(engine_, host_), 1);
  ::umask(saved_umask);
  ASSERT_EQ(engine_.ErrorCount, 2);
  EXPECT_EQ(fs::status(engine_.ErrorFilePath).permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
  for (const std::string& line : ReadLines(engine_.OperationsLogPath())) {
    EXPECT_EQ(line.find("Pa55!"), std::string::npos) << line;
  }
}

TEST_F(ImportRunTest, RunSavesTheSettings) {
  Prepare({"mode,distinguishedName"});
  engine_.NewAccountDisabled = true;
  EXPECT_EQ(testing::RunBehindDialog(engine_, host_), 1);
  CImportEngine next(nullptr);
  EXPECT_TRUE(next.NewAccountDisabled);
}

TEST_F(ImportRunTest, ErrorFileImportedAgainKeepsItsShape) {
  Prepare({"mode,distinguishedName", ",\"CN=a,DC=x\""});
  ASSERT_EQ(testing::RunBehindDialog(engine_, host_), 1);
  const std::string first_errors = engine_.ErrorFilePath;
  fs::rename(first_errors, machine_.Root() / "again.csv");
  engine_.ImportFile = (machine_.Root() / "again.csv").string();
  ASSERT_TRUE(engine_.CheckImportFile()) << engine_.Error().Text();
  ASSERT_TRUE(engine_.ValidateImportLines()) << engine_.Error().Text();
  ScriptedProgressHost again;
  ASSERT_EQ(testing::RunBehindDialog(engine_, again), 1);
  EXPECT_EQ(ReadLines(engine_.ErrorFilePath),
            (Lines{"mode,distinguishedName,Error", ",\"CN=a,DC=x\",\"No mode was specified.\""}));
}

TEST_F(ImportRunTest, WorkFunctionWithoutEngineEndsWithZero) {
  CBVKProgressDlg::ParameterMap parameters;
  auto dialog = std::make_unique<CBVKProgressDlg>(host_, nullptr, 201, 1057, -1, 1055, 1056);
  dialog->SetParameters(&parameters);
  dialog->SetWorkFunction(&CImportEngine::ImportWork);
  EXPECT_EQ(CBVKProgressDlg::Run(std::move(dialog)), 0);
  EXPECT_FALSE(fs::exists(engine_.OperationsLogPath()));
}

}  // namespace
}  // namespace tessary
