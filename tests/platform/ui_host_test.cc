#include "platform/ui/ui_host.h"

#include <gtest/gtest.h>

#include "platform/ui/scripted_ui_host.h"

namespace tessary::platform {
namespace {

TEST(ScriptedUiHost, AnswersFromTheQueueThenWithTheFirstButton) {
  ScriptedUiHost host;
  host.QueueAnswer(kIdNo);
  Window owner{"Owner title"};
  EXPECT_EQ(host.ShowMessageBox(&owner, "Caption", "Text", kMbYesNo | kMbIconQuestion), kIdNo);
  EXPECT_EQ(host.ShowMessageBox(nullptr, "", "Second", kMbYesNo), kIdYes);
  EXPECT_EQ(host.ShowMessageBox(nullptr, "", "Third", kMbAbortRetryIgnore), kIdAbort);
  EXPECT_EQ(host.ShowMessageBox(nullptr, "", "Fourth", kMbRetryCancel | kMbIconStop), kIdRetry);
  EXPECT_EQ(host.ShowMessageBox(nullptr, "", "Fifth", kMbOkCancel), kIdOk);
  ASSERT_EQ(host.Messages().size(), 5u);
  EXPECT_EQ(host.Messages()[0].owner_title, "Owner title");
  EXPECT_EQ(host.Messages()[0].caption, "Caption");
  EXPECT_EQ(host.Messages()[0].text, "Text");
  EXPECT_EQ(host.Messages()[0].type, 0x24u);
  EXPECT_EQ(host.Messages()[1].owner_title, "");
}

TEST(ScriptedUiHost, PickersAnswerFromTheirQueuesAndCancelWhenEmpty) {
  ScriptedUiHost host;
  host.QueueOpenFile("/data/in.csv");
  host.QueueSaveFile(std::nullopt);
  host.QueueSaveFile("/data/out.csv");
  host.QueueFolder("/data");
  FileDialogRequest request{"Open", "/data", "csv", {"Text Files (*.csv)|*.csv"}};
  EXPECT_EQ(host.ChooseOpenFile(request), "/data/in.csv");
  EXPECT_EQ(host.ChooseOpenFile(request), std::nullopt);
  EXPECT_EQ(host.ChooseSaveFile(request), std::nullopt);
  EXPECT_EQ(host.ChooseSaveFile(request), "/data/out.csv");
  EXPECT_EQ(host.ChooseFolder("Pick", "/"), "/data");
  EXPECT_EQ(host.ChooseFolder("Again", "/"), std::nullopt);
  ASSERT_EQ(host.FileRequests().size(), 4u);
  EXPECT_EQ(host.FileRequests()[0].default_extension, "csv");
  EXPECT_EQ(host.FolderTitles(), (std::vector<std::string>{"Pick", "Again"}));
}

TEST(CurrentUiHost, IsTheInstalledHostUntilItIsRemoved) {
  ScriptedUiHost host("Scripted");
  SetUiHost(&host);
  EXPECT_EQ(&CurrentUiHost(), &host);
  EXPECT_EQ(CurrentUiHost().ApplicationTitle(), "Scripted");
  SetUiHost(nullptr);
  EXPECT_NE(&CurrentUiHost(), &host);
}

TEST(CurrentUiHost, TheDefaultHostWritesToStandardErrorAndTakesTheFirstButton) {
  SetUiHost(nullptr);
  UiHost& host = CurrentUiHost();
  ::testing::internal::CaptureStderr();
  Window owner{"Tessary Wizard"};
  int answer = host.ShowMessageBox(&owner, "", "Could not open the file.", kMbYesNoCancel);
  int second = host.ShowMessageBox(nullptr, "", "Note.", kMbOk);
  std::string written = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(answer, kIdYes);
  EXPECT_EQ(second, kIdOk);
  EXPECT_EQ(written, "Tessary Wizard: Could not open the file.\nTessary: Note.\n");
  EXPECT_EQ(host.ChooseOpenFile({}), std::nullopt);
  EXPECT_EQ(host.ChooseFolder("x", "/"), std::nullopt);
}

}  // namespace
}  // namespace tessary::platform
