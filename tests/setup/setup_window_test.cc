// What setup shows: the background gradient, the terminal host's answers, the copy and removal
// progress windows.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/resource_module.h"
#include "platform/resource_module_test_util.h"
#include "setup/background.h"
#include "setup/install_script.h"
#include "setup/setup_progress.h"
#include "setup/terminal_progress_host.h"
#include "setup/terminal_ui_host.h"
#include "setup/text.h"
#include "support/bvk_progress_scripted_host.h"
#include "test_support.h"

namespace tessary::setup {
namespace {

TEST(SetupBackground, SchemesFollowTheTable) {
  const int steps = GradientSteps(false);
  EXPECT_EQ(steps, 192);
  EXPECT_EQ(GradientSteps(true), 255);
  EXPECT_EQ(GradientBand(0, 10, steps), (BandColour{10, 0, 0}));
  EXPECT_EQ(GradientBand(1, 10, steps), (BandColour{38, 38, 38}));
  EXPECT_EQ(GradientBand(-1, 10, steps), (BandColour{38, 38, 38}));
  EXPECT_EQ(GradientBand(7, 0, steps), (BandColour{28, 28, 28}));
  EXPECT_EQ(GradientBand(2, 0, steps), (BandColour{191, 191, 0}));
  EXPECT_EQ(GradientBand(3, 191, steps), (BandColour{0, 0, 0}));
  EXPECT_EQ(GradientBand(4, 5, steps), (BandColour{0, 0, 5}));
  EXPECT_EQ(GradientBand(5, 5, steps), (BandColour{5, 0, 5}));
  EXPECT_EQ(GradientBand(6, 9, steps), (BandColour{200, 9, 4}));
  // The bright grey would pass 255 at its last bands.
  EXPECT_EQ(GradientBand(1, 254, 255), (BandColour{255, 255, 255}));
}

class SetupProductPicture : public tessary::testing::MachineTest {
 protected:
  std::string Folder() const { return machine_.Root().string() + "/"; }
  void WriteProduct(const std::string& bytes) const {
    tessary::testing::WriteFileText(Folder() + "Product.dat", bytes);
  }
};

TEST_F(SetupProductPicture, MissingFileIsNoPicture) {
  EXPECT_EQ(LoadProductPicture(Folder()), std::nullopt);
}

TEST_F(SetupProductPicture, AnImageFileIsThePicture) {
  const std::string png("\x89PNG\r\n\x1a\n....", 12);
  WriteProduct(png);
  EXPECT_EQ(LoadProductPicture(Folder()), png);
  const std::string jpeg("\xff\xd8\xff\xe0 JFIF", 9);
  WriteProduct(jpeg);
  EXPECT_EQ(LoadProductPicture(Folder()), jpeg);
}

TEST_F(SetupProductPicture, ModulePictureIsItsBitmap1000) {
  using namespace tessary::testing;
  const std::string dib = MakeDib(8, 4, 4);
  const TestModule module =
      BuildResourceModule({{2, 999, MakeDib(24, 1, 1)}, {2, 1000, dib}}, PeFormat::kPe32);
  WriteProduct(module.bytes);
  const std::optional<std::string> picture = LoadProductPicture(Folder());
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->substr(0, 2), "BM");
  EXPECT_EQ(picture->substr(14), dib);
  EXPECT_EQ(picture, platform::FindBitmapResource(module.bytes, 1000));
}

TEST_F(SetupProductPicture, ModuleWithoutBitmap1000OrOtherFileIsNoPicture) {
  using namespace tessary::testing;
  WriteProduct(BuildResourceModule({{2, 999, MakeDib(8, 4, 4)}}, PeFormat::kPe32Plus).bytes);
  EXPECT_EQ(LoadProductPicture(Folder()), std::nullopt);
  WriteProduct("MZ resource module");
  EXPECT_EQ(LoadProductPicture(Folder()), std::nullopt);
  WriteProduct("");
  EXPECT_EQ(LoadProductPicture(Folder()), std::nullopt);
}

TEST(SetupText, RunCommandMarkersAndHelpers) {
  EXPECT_EQ(ExpandRunCommand("%%%PROGRAM%App.exe%% /s:%SYSTEM%", "/sys/", "/opt/Brenvik/"),
            "\"/opt/Brenvik/App.exe\" /s:/sys/");
  EXPECT_EQ(Upper("Brenvik 1.0"), "BRENVIK 1.0");
  EXPECT_TRUE(EndsWithMakerName("/opt/brenVIK"));
  EXPECT_FALSE(EndsWithMakerName("/opt/Brenvik/"));
  std::string text = "aaa";
  ReplaceAll(&text, "a", "aa");
  EXPECT_EQ(text, "aaaaaa");
}

TEST(SetupTerminalHost, UnattendedQuestionsNeverRepeat) {
  TerminalUiHost host;
  host.SetUnattended(true);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(host.ShowMessageBox(nullptr, "Setup", "Could not copy.",
                                platform::kMbAbortRetryIgnore | platform::kMbIconStop),
            platform::kIdAbort);
  EXPECT_EQ(host.ShowMessageBox(nullptr, "Setup", "Retry?", platform::kMbRetryCancel),
            platform::kIdCancel);
  EXPECT_EQ(host.ShowMessageBox(nullptr, "Setup", "Go?", platform::kMbOkCancel), platform::kIdOk);
  EXPECT_EQ(host.ChooseFolder("Folder", "/opt/Brenvik"),
            std::optional<std::string>("/opt/Brenvik"));
  EXPECT_EQ(host.ChooseFolder("Folder", ""), std::nullopt);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Setup: Could not copy.\nSetup: Retry?\nSetup: Go?\nFolder\nFolder\n");
  EXPECT_EQ(host.ApplicationTitle(), "Setup");
}

TEST(SetupProgressWindow, CopyWindowShowsTextsAndSteps) {
  ScriptedProgressHost host;
  platform::Window parent{"Brenvik Setup"};
  CSetupProgress progress(&host, &parent, CSetupProgress::kCopyTemplate,
                          CSetupProgress::kCopyCancelId, 0);
  const std::int32_t result = progress.Run([](CSetupProgress& dialog) -> std::int32_t {
    dialog.SetRange(2, 1);
    if (!dialog.StepProgress()) return 0;
    dialog.SetItemText(CSetupProgress::kFromTextId, "/src/App.exe");
    dialog.SetItemText(CSetupProgress::kToTextId, "/opt/Brenvik/App.exe");
    return dialog.StepProgress() ? 7 : 0;
  });
  EXPECT_EQ(result, 7);
  EXPECT_EQ(host.Shown().template_id, 297);
  EXPECT_EQ(host.Shown().cancel_id, 1060);
  EXPECT_EQ(host.ControlText(1023), "/src/App.exe");
  EXPECT_EQ(host.ControlText(1024), "/opt/Brenvik/App.exe");
  // The second step reaches the end: the bar stops one below it.
  EXPECT_EQ(host.Log(), (std::vector<std::string>{
                            "range 1122: 2 step 1", "step 1122", "text 1023: /src/App.exe",
                            "text 1024: /opt/Brenvik/App.exe", "position 1122: 1", "end: 7"}));
}

TEST(SetupProgressWindow, CancelStopsTheWorkAtItsNextStep) {
  ScriptedProgressHost host;
  host.PressAfterProgress(1, CSetupProgress::kCopyCancelId);
  CSetupProgress progress(&host, nullptr, CSetupProgress::kCopyTemplate,
                          CSetupProgress::kCopyCancelId, 0);
  int steps = 0;
  const std::int32_t result = progress.Run([&steps](CSetupProgress& dialog) -> std::int32_t {
    dialog.SetRange(10, 1);
    while (dialog.StepProgress()) ++steps;
    return 0;
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(steps, 1);
  EXPECT_TRUE(progress.IsCancelled());
}

TEST(SetupProgressWindow, RemovalWindowPlaysItsClipAndStatus) {
  ScriptedProgressHost host;
  CSetupProgress progress(&host, nullptr, CSetupProgress::kRemoveTemplate,
                          CSetupProgress::kRemoveCancelId, -1, CSetupProgress::kRemoveAnimation);
  progress.Run([](CSetupProgress& dialog) -> std::int32_t {
    dialog.SetStatusText("Removing Tessary 1.0...");
    return 1;
  });
  EXPECT_EQ(host.Log().front(), "animation 1112: 307");
  EXPECT_EQ(host.ControlText(-1), "Removing Tessary 1.0...");
}

TEST(SetupProgressWindow, TerminalWindowWritesOneLinePerFile) {
  std::ostringstream out;
  TerminalProgressHost host(out);
  CSetupProgress progress(&host, nullptr, CSetupProgress::kCopyTemplate,
                          CSetupProgress::kCopyCancelId, 0);
  EXPECT_EQ(progress.Run([](CSetupProgress& dialog) -> std::int32_t {
    dialog.SetRange(2, 1);
    dialog.SetItemText(CSetupProgress::kFromTextId, "/src/A.exe");
    dialog.SetItemText(CSetupProgress::kToTextId, "/opt/Brenvik/A.exe");
    dialog.SetItemText(CSetupProgress::kToTextId, "/opt/Brenvik/B.exe");
    return 3;
  }),
            3);
  EXPECT_EQ(out.str(), "/opt/Brenvik/A.exe\n/opt/Brenvik/B.exe\n");
  EXPECT_EQ(host.BarUpper(CSetupProgress::kProgressBarId), 2);
}

TEST(SetupProgressWindow, WithoutAHostNothingIsShownAndTheWorkRuns) {
  CSetupProgress progress(nullptr, nullptr, CSetupProgress::kCopyTemplate,
                          CSetupProgress::kCopyCancelId, 0);
  EXPECT_EQ(progress.Run([](CSetupProgress& dialog) -> std::int32_t {
    dialog.SetRange(1, 1);
    return dialog.StepProgress() && dialog.StepProgress() ? 1 : 0;
  }),
            1);
}

}  // namespace
}  // namespace tessary::setup
