// The run's own rules, on entries that never reach the directory: modes, cancel, the summary,
// the logs and the file failures.
#include <gtest/gtest.h>

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
                   "Import file: " + engine_.ImportFile,
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
  ASSERT_EQ(log.size(), 8u);
  EXPECT_EQ(log[3], "Processing 1 of 3...");
  EXPECT_EQ(log[4], "No mode was specified.");
  EXPECT_EQ(log[5], "Processing 2 of 3...");
  EXPECT_EQ(log[6], "Processing 3 of 3...");
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

TEST_F(ImportRunTest, UnwritableErrorFileEndsTheRunWithZero) {
  Prepare({"mode,distinguishedName", ",CN=a", ",CN=b"});
  engine_.ErrorFolder = (machine_.Root() / "no-such-folder").string() + "/";
  platform::ScriptedUiHost ui;
  ui.QueueAnswer(platform::kIdCancel);
  platform::SetUiHost(&ui);
  EXPECT_EQ(testing::RunBehindDialog(engine_, host_), 0);
  platform::SetUiHost(nullptr);
  EXPECT_EQ(ui.Messages().size(), 1u);
  const std::string expected = "Could not write to the file '" + engine_.ErrorFilePath + "'";
  EXPECT_EQ(engine_.Error().Text().substr(0, expected.size()), expected);
  EXPECT_EQ(LogTexts().back(), "No mode was specified.");
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
