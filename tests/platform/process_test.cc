#include "platform/process.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace tessary::platform {
namespace {

using ProcessTest = tessary::testing::MachineTest;

TEST_F(ProcessTest, RunsAProgramFoundOnThePath) {
  ProcessResult result = StartProcess({"true"}, {}, Wait::Yes);
  EXPECT_TRUE(result.started);
  EXPECT_EQ(result.error, 0u);
  EXPECT_EQ(result.exit_code, 0);
}

TEST_F(ProcessTest, ReportsTheExitCode) {
  ProcessResult result = StartProcess({"/bin/sh", "-c", "exit 7"}, {}, Wait::Yes);
  EXPECT_TRUE(result.started);
  EXPECT_EQ(result.exit_code, 7);
}

TEST_F(ProcessTest, AMissingProgramIsFileNotFound) {
  ProcessResult result = StartProcess({"tessary-no-such-program"}, {}, Wait::Yes);
  EXPECT_FALSE(result.started);
  EXPECT_EQ(result.error, 2u);
  EXPECT_EQ(StartProcess({(machine_.Root() / "missing").string()}).error, 2u);
}

TEST_F(ProcessTest, ArgumentsReachTheProgramUnchangedWithoutAShell) {
  std::filesystem::path out = machine_.Root() / "out.txt";
  ProcessResult result = StartProcess(
      {"/bin/sh", "-c", "printf '%s|' \"$@\" > \"$0\"", out.string(), "a b", "$HOME", "*;x"}, {},
      Wait::Yes);
  ASSERT_TRUE(result.started);
  EXPECT_EQ(testing::ReadFileText(out), "a b|$HOME|*;x|");
}

TEST_F(ProcessTest, RunsInTheWorkingFolder) {
  std::filesystem::path folder = machine_.Root() / "work";
  std::filesystem::create_directories(folder);
  ProcessResult result = StartProcess({"/bin/sh", "-c", "pwd > here"}, folder.string(), Wait::Yes);
  ASSERT_TRUE(result.started);
  EXPECT_EQ(testing::ReadFileText(folder / "here"), folder.string() + "\n");
}

TEST_F(ProcessTest, AMissingWorkingFolderIsAnInvalidDirectory) {
  ProcessResult result = StartProcess({"true"}, (machine_.Root() / "nowhere").string(), Wait::Yes);
  EXPECT_FALSE(result.started);
  EXPECT_EQ(result.error, 267u);
}

TEST_F(ProcessTest, AnEmptyCommandIsAnInvalidParameter) {
  EXPECT_EQ(StartProcess({}).error, 87u);
  EXPECT_EQ(StartProcess({""}).error, 87u);
}

TEST_F(ProcessTest, StartingWithoutWaitingLeavesTheExitCodeUnset) {
  ProcessResult result = StartProcess({"true"});
  EXPECT_TRUE(result.started);
  EXPECT_EQ(result.error, 0u);
  EXPECT_EQ(result.exit_code, -1);
}

}  // namespace
}  // namespace tessary::platform
