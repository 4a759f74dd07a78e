#include "support/bvk_progress_dlg.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/bvk_progress_scripted_host.h"

namespace tessary {
namespace {

using Log = std::vector<std::string>;

constexpr int kTemplate = 201;
constexpr int kBar = 1057;
constexpr int kCancel = 1056;
constexpr int kStatus = -1;

std::unique_ptr<CBVKProgressDlg> MakeDialog(ScriptedProgressHost& host) {
  return std::make_unique<CBVKProgressDlg>(host, nullptr, kTemplate, kBar, kStatus, 1055, kCancel);
}

TEST(ProgressDialogTest, WithoutWorkFunctionEndsAtOnceWithOne) {
  ScriptedProgressHost host;
  EXPECT_EQ(CBVKProgressDlg::Run(MakeDialog(host)), 1);
  EXPECT_EQ(host.Log(), (Log{"end: 1"}));
  EXPECT_EQ(host.Shown().template_id, kTemplate);
}

TEST(ProgressDialogTest, ReturnsTheWorkFunctionsResult) {
  ScriptedProgressHost host;
  auto dialog = MakeDialog(host);
  dialog->SetWorkFunction([](CBVKProgressDlg&) { return 7; });
  EXPECT_EQ(CBVKProgressDlg::Run(std::move(dialog)), 7);
  EXPECT_EQ(host.Log(), (Log{"end: 7"}));
}

TEST(ProgressDialogTest, WorkRunsOnAnotherThreadThanTheDialog) {
  ScriptedProgressHost host;
  auto dialog = MakeDialog(host);
  std::thread::id worker;
  dialog->SetWorkFunction([&](CBVKProgressDlg&) {
    worker = std::this_thread::get_id();
    return 1;
  });
  CBVKProgressDlg::Run(std::move(dialog));
  EXPECT_NE(worker, std::this_thread::get_id());
  EXPECT_NE(worker, std::thread::id());
}

TEST(ProgressDialogTest, ParameterMapReachesTheWorkFunction) {
  ScriptedProgressHost host;
  int engine = 41;
  long total = 0;
  CBVKProgressDlg::ParameterMap parameters{{"TY Import", &engine}, {"Total Objects", &total}};
  auto dialog = MakeDialog(host);
  dialog->SetParameters(&parameters);
  dialog->SetWorkFunction([](CBVKProgressDlg& dlg) {
    if (dlg.Parameter<int>("Missing") != nullptr) return 0;
    *dlg.Parameter<long>("Total Objects") = 12;
    return *dlg.Parameter<int>("TY Import") + 1;
  });
  EXPECT_EQ(CBVKProgressDlg::Run(std::move(dialog)), 42);
  EXPECT_EQ(total, 12);
}

TEST(ProgressDialogTest, InitialisationPlaysAnimationAndHidesBarWhenAsked) {
  ScriptedProgressHost host;
  auto dialog = MakeDialog(host);
  dialog->SetAnimationResource(202);
  dialog->SetShowProgressBar(false);
  CBVKProgressDlg::Run(std::move(dialog));
  EXPECT_EQ(host.Log(), (Log{"animation 1055: 202", "show 1057: 0", "end: 1"}));
}

TEST(ProgressDialogTest, ControlUpdatesReachTheHostInOrder) {
  ScriptedProgressHost host;
  auto dialog = MakeDialog(host);
  dialog->SetWorkFunction([](CBVKProgressDlg& dlg) {
    dlg.SetRange(3, 1);
    dlg.SetStatusText("Processing 1 of 3...");
    EXPECT_TRUE(dlg.StepProgress(1));
    dlg.SetItemText(1068, "5");
    return 1;
  });
  CBVKProgressDlg::Run(std::move(dialog));
  EXPECT_EQ(host.Log(), (Log{"range 1057: 3 step 1", "text -1: Processing 1 of 3...", "step 1057",
                             "text 1068: 5", "end: 1"}));
}

TEST(ProgressDialogTest, SteppingToTheEndFillsTheBarOneBelowItsBound) {
  ScriptedProgressHost host;
  auto dialog = MakeDialog(host);
  dialog->SetWorkFunction([](CBVKProgressDlg& dlg) {
    dlg.SetRange(3, 1);
    EXPECT_TRUE(dlg.StepProgress(2));
    EXPECT_TRUE(dlg.StepProgress(1));
    EXPECT_TRUE(dlg.StepProgress(5));
    return 1;
  });
  CBVKProgressDlg::Run(std::move(dialog));
  EXPECT_EQ(host.Log(), (Log{"range 1057: 3 step 1", "step 1057", "step 1057", "position 1057: 2",
                             "position 1057: 2", "end: 1"}));
}

TEST(ProgressDialogTest, LargeStepSizeNeverOvershootsTheBar) {
  ScriptedProgressHost host;
  auto dialog = MakeDialog(host);
  dialog->SetWorkFunction([](CBVKProgressDlg& dlg) {
    dlg.SetRange(10, 4);
    EXPECT_TRUE(dlg.StepProgress(2));
    EXPECT_TRUE(dlg.StepProgress(1));
    return 1;
  });
  CBVKProgressDlg::Run(std::move(dialog));
  EXPECT_EQ(host.Log(),
            (Log{"range 1057: 10 step 4", "step 1057", "step 1057", "position 1057: 9", "end: 1"}));
}

TEST(ProgressDialogTest, CancelIsSeenAtTheNextProgressCall) {
  ScriptedProgressHost host;
  host.PressAfterProgress(2, kCancel);
  auto dialog = MakeDialog(host);
  std::vector<bool> answers;
  dialog->SetWorkFunction([&](CBVKProgressDlg& dlg) {
    dlg.SetRange(10, 1);
    for (int i = 0; i < 4; ++i) answers.push_back(dlg.StepProgress(1));
    answers.push_back(dlg.FillProgress(0));
    answers.push_back(dlg.IsCancelled());
    return 1;
  });
  EXPECT_EQ(CBVKProgressDlg::Run(std::move(dialog)), 1);
  EXPECT_EQ(answers, (std::vector<bool>{true, true, false, false, false, true}));
  EXPECT_EQ(host.Log(), (Log{"range 1057: 10 step 1", "step 1057", "step 1057",
                             "text -1: Processing cancel message, please wait...", "show 1057: 0",
                             "enable 1056: 0", "end: 1"}));
}

TEST(ProgressDialogTest, CancellingAgainOnlyRepeatsTheCancelText) {
  ScriptedProgressHost host;
  host.PressAfterProgress(1, kCancel);
  host.PressAfterProgress(1, kCancel);
  host.PressAfterProgress(1, platform::kIdCancel);
  auto dialog = MakeDialog(host);
  dialog->SetWorkFunction([](CBVKProgressDlg& dlg) {
    dlg.SetRange(10, 1);
    dlg.StepProgress(1);
    return dlg.StepProgress(1) ? 1 : 0;
  });
  EXPECT_EQ(CBVKProgressDlg::Run(std::move(dialog)), 0);
  const std::string cancel_text = "text -1: Processing cancel message, please wait...";
  EXPECT_EQ(host.Log(), (Log{"range 1057: 10 step 1", "step 1057", cancel_text, "show 1057: 0",
                             "enable 1056: 0", cancel_text, cancel_text, "end: 0"}));
}

TEST(ProgressDialogTest, TheCloseBoxCancelsLikeTheButton) {
  ScriptedProgressHost host;
  host.PressAfterProgress(0, platform::kIdCancel);
  auto dialog = MakeDialog(host);
  dialog->SetWorkFunction([](CBVKProgressDlg& dlg) { return dlg.StepProgress(1) ? 1 : 0; });
  EXPECT_EQ(CBVKProgressDlg::Run(std::move(dialog)), 0);
  EXPECT_EQ(host.ControlText(kStatus), "Processing cancel message, please wait...");
}

TEST(ProgressDialogTest, AfterCancelTextsNoLongerChange) {
  ScriptedProgressHost host;
  host.PressAfterProgress(0, kCancel);
  auto dialog = MakeDialog(host);
  dialog->SetWorkFunction([](CBVKProgressDlg& dlg) {
    dlg.SetStatusText("Processing 1 of 1...");
    dlg.SetItemText(1068, "3");
    return 1;
  });
  CBVKProgressDlg::Run(std::move(dialog));
  EXPECT_EQ(host.ControlText(kStatus), "Processing cancel message, please wait...");
  EXPECT_EQ(host.ControlText(1068), "");
}

TEST(ProgressDialogTest, OtherButtonsDoNotCancel) {
  ScriptedProgressHost host;
  host.PressAfterProgress(0, 1);
  host.PressAfterProgress(0, 1057);
  auto dialog = MakeDialog(host);
  bool stepped = false;
  dialog->SetWorkFunction([&](CBVKProgressDlg& dlg) {
    dlg.SetRange(5, 1);
    stepped = dlg.StepProgress(1);
    return 1;
  });
  CBVKProgressDlg::Run(std::move(dialog));
  EXPECT_TRUE(stepped);
}

TEST(ProgressDialogTest, WithoutWindowTheWorkStillRunsAndCallsDoNothing) {
  ScriptedProgressHost host;
  host.RefuseToShow();
  auto dialog = MakeDialog(host);
  bool stepped = false;
  dialog->SetWorkFunction([&](CBVKProgressDlg& dlg) {
    dlg.SetRange(5, 1);
    dlg.SetStatusText("x");
    stepped = dlg.StepProgress(1);
    return 3;
  });
  EXPECT_EQ(CBVKProgressDlg::Run(std::move(dialog)), 3);
  EXPECT_TRUE(stepped);
  EXPECT_TRUE(host.Log().empty());
}

}  // namespace
}  // namespace tessary
