#include <gtest/gtest.h>

#include <sstream>

#include "cli/terminal_progress_host.h"
#include "cli/terminal_ui_host.h"
#include "support/bvk_progress_dlg.h"

namespace tessary::cli {
namespace {

TEST(TerminalUiHost, MessagesGoToTheErrorStream) {
  std::ostringstream err;
  TerminalUiHost host(err);
  EXPECT_EQ(host.ShowMessageBox(nullptr, "Tessary", "Could not do it.\nBecause.",
                                platform::kMbOk | platform::kMbIconStop),
            platform::kIdOk);
  EXPECT_EQ(err.str(), "Could not do it.\nBecause.\n");
}

TEST(TerminalUiHost, QuestionsAreAnsweredWithoutAsking) {
  EXPECT_EQ(TerminalAnswer(platform::kMbRetryCancel), platform::kIdCancel)
      << "a failing write must not be retried for ever";
  EXPECT_EQ(TerminalAnswer(platform::kMbAbortRetryIgnore), platform::kIdAbort);
  EXPECT_EQ(TerminalAnswer(platform::kMbYesNo | platform::kMbIconQuestion), platform::kIdYes);
  EXPECT_EQ(TerminalAnswer(platform::kMbOkCancel), platform::kIdOk);
}

TEST(TerminalProgressHost, AnInterruptPressesCancelAndTheWorkWindsDown) {
  std::ostringstream err;
  TerminalProgressHost host(err, /*draw=*/false);
  constexpr int kGiveUp = 400000000;
  int steps = 0;
  auto dialog = std::make_unique<CBVKProgressDlg>(host, nullptr, 201);
  dialog->SetWorkFunction([&](CBVKProgressDlg& self) {
    self.SetRange(1000000, 1);
    // Bounded, so that a cancel that never comes fails the test instead of hanging it.
    while (self.StepProgress(1) && steps < kGiveUp) {
      if (++steps == 40) TerminalProgressHost::Interrupt();
    }
    return 7;
  });
  const int before = TerminalProgressHost::Interrupts();
  EXPECT_EQ(CBVKProgressDlg::Run(std::move(dialog)), 7);
  EXPECT_EQ(TerminalProgressHost::Interrupts(), before + 1);
  EXPECT_GE(steps, 40);
  EXPECT_LT(steps, kGiveUp);
  EXPECT_EQ(err.str(), "") << "nothing is drawn when the stream is no terminal";
}

TEST(TerminalProgressHost, TheBarShowsTheCountsAndTheStatus) {
  std::ostringstream err;
  TerminalProgressHost host(err, false);
  auto dialog = std::make_unique<CBVKProgressDlg>(host, nullptr, 165);
  std::string line;
  dialog->SetWorkFunction([&](CBVKProgressDlg& self) {
    self.SetStatusText("Searching for objects in the container:\nUsers");
    self.SetItemText(1068, "3");
    self.SetItemText(1070, "12");
    line = host.BarLine();
    return 1;
  });
  EXPECT_EQ(CBVKProgressDlg::Run(std::move(dialog)), 1);
  EXPECT_EQ(line, "Total found: 12, found in this container: 3 Users");
}

TEST(TerminalProgressHost, TheBarFillsWithTheSteps) {
  std::ostringstream err;
  TerminalProgressHost host(err, false);
  auto dialog = std::make_unique<CBVKProgressDlg>(host, nullptr, 201);
  std::string line;
  dialog->SetWorkFunction([&](CBVKProgressDlg& self) {
    self.SetRange(10, 1);
    (void)self.StepProgress(5);
    line = host.BarLine();
    return 1;
  });
  EXPECT_EQ(CBVKProgressDlg::Run(std::move(dialog)), 1);
  EXPECT_EQ(line, "[" + std::string(15, '#') + std::string(15, '.') + "] ");
}

}  // namespace
}  // namespace tessary::cli
