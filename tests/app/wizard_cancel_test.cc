// Cancel during a long import through the wizard: the run stops at the entry after the press
// and the finish page reports what was done.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "wizard_fixture.h"

namespace tessary::testing {
namespace {

constexpr int kEntries = 20000;
constexpr int kCancelAfter = 30;

TEST_F(WizardTest, CancelDuringALongImportStopsAtTheNextEntry) {
  // Every entry fails (nobody to modify), so each one done leaves a line in the error file.
  std::string text = "mode,distinguishedName,description\r\n";
  for (int i = 0; i < kEntries; ++i) {
    text += "Modify,\"CN=Nobody " + std::to_string(i) + ",DC=example,DC=com\",x\r\n";
  }
  WriteFileText(Path("Import.csv"), text);
  progress_.PressAfterProgress(kCancelAfter, app::kIdProgressCancel);
  std::vector<std::string> details;
  ui_.QueueDialog([&](platform::DialogDriver& d) {
    ImportToFinishPage(d, Path("Import.csv"));
    if (::testing::Test::HasFatalFailure()) return;
    details = d.Lines(app::kIdDetails);
    EXPECT_TRUE(d.Enabled(app::kIdViewErrorLog));
    d.Press(app::kIdFinish);
  });
  EXPECT_EQ(RunWizard(), platform::kIdOk);
  EXPECT_EQ(progress_.ControlText(-1), "Processing cancel message, please wait...");
  // The error file: its column line and one line for each entry done before the press.
  std::string error_file;
  for (const auto& entry : std::filesystem::directory_iterator(machine_.Root())) {
    if (entry.path().filename().string().starts_with("Errors - ")) error_file = entry.path();
  }
  ASSERT_FALSE(error_file.empty());
  const std::string errors = ReadFileText(error_file);
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), kCancelAfter + 1);
  std::string summary;
  for (const std::string& line : details) summary += line + "\n";
  EXPECT_NE(summary.find(std::to_string(kCancelAfter)), std::string::npos) << summary;
}

}  // namespace
}  // namespace tessary::testing
