#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "import_test_util.h"
#include "platform/ui/scripted_ui_host.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
using testing::ReadLines;
using Lines = std::vector<std::string>;

class ImportLogTest : public testing::MachineTest {
 protected:
  void SetUp() override {
    testing::SetUsRegionalSettings();
    engine_.DataFolder = (machine_.Root() / "program").string() + "/";
    fs::create_directories(engine_.DataFolder);
    engine_.ErrorFolder = (machine_.Root() / "errors").string() + "/";
    fs::create_directories(engine_.ErrorFolder);
  }
  void SetLastWrite(const fs::path& path, std::time_t when) {
    fs::last_write_time(
        path, fs::file_time_type::clock::now() + std::chrono::seconds(when - std::time(nullptr)));
  }

  FixedClock clock_{testing::MorningOfFifthDecember2006()};
  CImportEngine engine_{nullptr, clock_};
};

TEST_F(ImportLogTest, LogLineCarriesTimeAndTextWithLineBreaksAsSemicolons) {
  engine_.WriteLog("first\nsecond");
  EXPECT_EQ(ReadLines(engine_.OperationsLogPath()),
            (Lines{"12/5/2006 10:30:00 AM: first; second"}));
}

TEST_F(ImportLogTest, LogOfTheSameDayIsContinued) {
  testing::WriteFileText(engine_.OperationsLogPath(), "earlier\r\n");
  SetLastWrite(engine_.OperationsLogPath(), clock_.Now() - 3600);
  engine_.WriteLog("next");
  EXPECT_EQ(ReadLines(engine_.OperationsLogPath()),
            (Lines{"earlier", "12/5/2006 10:30:00 AM: next"}));
}

TEST_F(ImportLogTest, LogOfAnotherDayIsStartedAfresh) {
  testing::WriteFileText(engine_.OperationsLogPath(), "yesterday\r\n");
  SetLastWrite(engine_.OperationsLogPath(), clock_.Now() - 24 * 3600);
  engine_.WriteLog("today");
  EXPECT_EQ(ReadLines(engine_.OperationsLogPath()), (Lines{"12/5/2006 10:30:00 AM: today"}));
}

TEST_F(ImportLogTest, OnlyTheDayOfTheMonthIsCompared) {
  testing::WriteFileText(engine_.OperationsLogPath(), "last month\r\n");
  SetLastWrite(engine_.OperationsLogPath(), clock_.Now() - 30 * 24 * 3600);  // 5 November
  engine_.WriteLog("this month");
  EXPECT_EQ(ReadLines(engine_.OperationsLogPath()).size(), 2u);
}

TEST_F(ImportLogTest, LogOverThreeHundredKilobytesIsStartedAfresh) {
  testing::WriteFileText(engine_.OperationsLogPath(), std::string(307201, 'x'));
  SetLastWrite(engine_.OperationsLogPath(), clock_.Now());
  engine_.WriteLog("fresh");
  EXPECT_EQ(ReadLines(engine_.OperationsLogPath()), (Lines{"12/5/2006 10:30:00 AM: fresh"}));
}

TEST_F(ImportLogTest, LogOfExactlyThreeHundredKilobytesIsContinued) {
  testing::WriteFileText(engine_.OperationsLogPath(), std::string(307198, 'x') + "\r\n");
  SetLastWrite(engine_.OperationsLogPath(), clock_.Now());
  engine_.WriteLog("more");
  EXPECT_EQ(ReadLines(engine_.OperationsLogPath()).size(), 2u);
}

TEST_F(ImportLogTest, ExplicitPathSkipsTheOneDayRule) {
  const std::string path = (machine_.Root() / "other.log").string();
  testing::WriteFileText(path, "old\r\n");
  SetLastWrite(path, clock_.Now() - 24 * 3600);
  engine_.WriteLog("new", path);
  EXPECT_EQ(ReadLines(path).size(), 2u);
}

TEST_F(ImportLogTest, UnwritableLogIsIgnored) {
  engine_.DataFolder = (machine_.Root() / "missing").string() + "/";
  engine_.WriteLog("lost");
  EXPECT_FALSE(fs::exists(engine_.OperationsLogPath()));
}

class ErrorFileTest : public ImportLogTest {
 protected:
  void SetUp() override {
    ImportLogTest::SetUp();
    engine_.HeaderLine = "mode,distinguishedName,description";
    engine_.ErrorFilePath = engine_.ErrorFolder + "Errors.csv";
  }
};

TEST_F(ErrorFileTest, FirstFailureCreatesFileWithHeaderAndErrorColumn) {
  ASSERT_TRUE(engine_.WriteErrorLine("No mode was specified.", {"", "CN=a,DC=x", "plain"}));
  ASSERT_TRUE(engine_.WriteErrorLine("Second.", {"Create", "CN=b", "\"quoted\""}));
  EXPECT_EQ(ReadLines(engine_.ErrorFilePath),
            (Lines{"mode,distinguishedName,description,Error",
                   ",\"CN=a,DC=x\",plain,\"No mode was specified.\"",
                   "Create,CN=b,\"\"\"quoted\"\"\",\"Second.\""}));
}

TEST_F(ErrorFileTest, MessageLinesBecomeOneLine) {
  ASSERT_TRUE(engine_.WriteErrorLine("Could not open.\nThere is no such object. (80072030)\r",
                                     {"Modify", "CN=a", "x"}));
  EXPECT_EQ(ReadLines(engine_.ErrorFilePath)[1],
            "Modify,CN=a,x,\"Could not open. There is no such object. (80072030) \"");
}

TEST_F(ErrorFileTest, UnwritableFileAsksRetryAndCancelStops) {
  platform::ScriptedUiHost ui;
  platform::SetUiHost(&ui);
  ui.QueueAnswer(platform::kIdRetry);
  ui.QueueAnswer(platform::kIdCancel);
  engine_.ErrorFilePath = (machine_.Root() / "missing" / "Errors.csv").string();
  EXPECT_FALSE(engine_.WriteErrorLine("x", {"a"}));
  platform::SetUiHost(nullptr);
  ASSERT_EQ(ui.Messages().size(), 2u);
  EXPECT_EQ(ui.Messages()[0].type, platform::kMbRetryCancel | platform::kMbIconStop);
  const std::string expected = "Could not write to the file '" + engine_.ErrorFilePath + "'";
  EXPECT_EQ(ui.Messages()[0].text.substr(0, expected.size()), expected);
  EXPECT_EQ(engine_.Error().Text(), ui.Messages()[1].text);
}

}  // namespace
}  // namespace tessary
