// Replacing an earlier product: detection by the setup logs, the question, the removal of the
// earlier product's entries and the protection of what all products share.
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/ui/scripted_ui_host.h"
#include "setup/installed_products.h"
#include "setup/setup_app.h"
#include "setup/setup_dlg.h"
#include "setup_test_machine.h"
#include "support/bvk_registry.h"

namespace tessary::setup {
namespace {

using platform::kIdAbort;
using platform::kIdCancel;
using platform::kIdOk;
using tessary::testing::ReadFileText;
using tessary::testing::WriteFileText;

constexpr char kAppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Brenvik";
constexpr char kExtensions[] = "Software\\Microsoft\\Exchange\\Client\\Extensions";
constexpr char kFirstScript[] =
    "PROD  Tessary 1.0\nCODE  TY\nSUBF  Bin\nFILE  App.exe\nFILE  Tool.dll$4$Bin\n"
    "FILE  ExtMain.dll\nCOMP  Halvern.dll\nSTRT  Tessary$$$App.exe\n"
    "REGV  LM$$$Software\\Tessary$$$Count$$$dword:1\nREGV  CU$$$Software\\Tessary$$$Name$$$x\n"
    "REGK  LM$$$Software\\TessaryOne$$$Settings\nREGK  CU$$$Software\\TessaryOne$$$Settings\n";

class SetupUpgrade : public testing::SetupMachine {
 protected:
  void SetUp() override {
    SetupMachine::SetUp();
    ASSERT_TRUE(getcwd(saved_cwd_, sizeof saved_cwd_));
    ASSERT_EQ(chdir(SourceFolder().c_str()), 0);
    platform::SetUiHost(&host_);
    SetRegistryText(true, kExtensions, "Other", "x");
    for (const char* name : {"App.exe", "Tool.dll", "ExtMain.dll", "New.exe"}) Source(name, name);
  }
  void TearDown() override {
    platform::SetUiHost(nullptr);
    ASSERT_EQ(chdir(saved_cwd_), 0);
  }
  int Install(const std::string& script, const std::string& command_line = "-silent") {
    Source("Files.dat", script);
    return CSetupApp().Run(command_line);
  }
  std::string Links() const { return MachineFolder("/usr/local/share/applications/Brenvik/"); }

  platform::ScriptedUiHost host_{"Setup"};
  char saved_cwd_[4096] = {};
};

TEST_F(SetupUpgrade, PrevInAnyCaseRemovesTheEarlierProduct) {
  ASSERT_EQ(Install(kFirstScript), CSetupApp::kCompleted);
  ASSERT_TRUE(Exists(InstallFolder() + "Bin/Tool.dll"));
  ASSERT_TRUE(Exists(Links() + "Tessary 1.0/Tessary.desktop"));
  ASSERT_EQ(RegistryText(false, "Software\\Tessary", "Name"), "x");

  host_.QueueAnswer(kIdOk);  // welcome
  host_.QueueAnswer(kIdOk);  // requirements
  host_.QueueAnswer(kIdOk);  // the upgrade question
  ASSERT_EQ(Install("PROD  Tessary 2.0\nCODE  T2\nPREV  tessary 1.0\nPRVN  Your data stays.\n"
                    "FILE  New.exe\n",
                    ""),
            CSetupApp::kCompleted);
  EXPECT_EQ(host_.Messages()[2].text,
            "Brenvik Setup has determined that tessary 1.0 is installed.\nThe software will be "
            "upgraded.\n\nYour data stays.");
  EXPECT_EQ(host_.Messages()[2].type, platform::kMbOkCancel | platform::kMbIconExclamation);
  // The earlier product's own entries are gone.
  EXPECT_FALSE(Exists(InstallFolder() + "App.exe"));
  EXPECT_FALSE(Exists(InstallFolder() + "Bin"));
  EXPECT_FALSE(Exists(InstallFolder() + "SetupTY.log"));
  EXPECT_FALSE(Exists(Links() + "Tessary 1.0"));
  EXPECT_EQ(RegistryText(true, "Software\\Tessary", "Count"), "<missing>");
  EXPECT_EQ(RegistryText(false, "Software\\Tessary", "Name"), "<missing>");
  EXPECT_FALSE(RegistryKeyExists(true, "Software\\TessaryOne\\Settings"));
  // Keys of the user's hive are never deleted.
  EXPECT_TRUE(RegistryKeyExists(false, "Software\\TessaryOne\\Settings"));
  // With no product left, the shared parts went too; the maker's keys stay.
  EXPECT_FALSE(Exists(InstallFolder() + "Comp.dat"));
  EXPECT_EQ(RegistryText(true, kExtensions, "Brenvik"), "<missing>");
  EXPECT_EQ(RegistryText(true, kAppPaths, "Path"), InstallFolder());
  EXPECT_TRUE(RegistryKeyExists(false, "Software\\Brenvik"));
  EXPECT_TRUE(Exists(InstallFolder() + "New.exe"));
}

TEST_F(SetupUpgrade, AnotherProductKeepsTheSharedParts) {
  ASSERT_EQ(Install(kFirstScript), CSetupApp::kCompleted);
  ASSERT_EQ(Install("PROD  Other\nCODE  OT\nFILE  New.exe\nCOMP  Ostrand.dll\n"),
            CSetupApp::kCompleted);
  ASSERT_EQ(Install("PROD  Tessary 2.0\nCODE  T2\nPREV  Tessary 1.0\n"), CSetupApp::kCompleted);
  EXPECT_FALSE(Exists(InstallFolder() + "App.exe"));
  EXPECT_TRUE(Exists(InstallFolder() + "ExtMain.dll"));
  EXPECT_EQ(ReadFileText(InstallFolder() + "Comp.dat"), "Halvern.dll\r\nOstrand.dll\r\n");
  EXPECT_NE(RegistryText(true, kExtensions, "Brenvik"), "<missing>");
  EXPECT_TRUE(Exists(InstallFolder() + "SetupOT.log"));
}

TEST_F(SetupUpgrade, CancellingTheQuestionChangesNothing) {
  ASSERT_EQ(Install(kFirstScript), CSetupApp::kCompleted);
  host_.QueueAnswer(kIdOk);
  host_.QueueAnswer(kIdOk);
  host_.QueueAnswer(kIdCancel);
  EXPECT_EQ(Install("PROD  Tessary 2.0\nCODE  T2\nPREV  Tessary 1.0\nFILE  New.exe\n", ""),
            CSetupApp::kFailed);
  EXPECT_EQ(host_.Messages().back().text, CSetupDlg::kFinalMessage);
  EXPECT_TRUE(Exists(InstallFolder() + "App.exe"));
  EXPECT_FALSE(Exists(InstallFolder() + "New.exe"));
}

TEST_F(SetupUpgrade, UnknownPrevAsksNothing) {
  ASSERT_EQ(Install(kFirstScript), CSetupApp::kCompleted);
  host_.QueueAnswer(kIdOk);
  ASSERT_EQ(Install("PROD  Tessary 2.0\nCODE  T2\nPREV  Something Else\nFILE  New.exe\n", ""),
            CSetupApp::kCompleted);
  EXPECT_EQ(host_.Messages().size(), 3u);  // welcome, requirements and completion
  EXPECT_TRUE(Exists(InstallFolder() + "App.exe"));
}

TEST_F(SetupUpgrade, PrvrKeepsTheRegistryUnlessTheProductIsOneOfTheOldDesks) {
  ASSERT_EQ(Install(kFirstScript), CSetupApp::kCompleted);
  ASSERT_EQ(Install("PROD  T2\nCODE  T2\nPREV  Tessary 1.0\nPRVR\n"), CSetupApp::kCompleted);
  EXPECT_FALSE(Exists(InstallFolder() + "App.exe"));
  EXPECT_EQ(RegistryText(true, "Software\\Tessary", "Count"), "1");
  EXPECT_TRUE(RegistryKeyExists(true, "Software\\TessaryOne\\Settings"));

  // A key that is there before an install is not the install's to remove: start without it.
  CBVKRegistry registry;
  ASSERT_TRUE(
      registry.OpenKey(HKEY_LOCAL_MACHINE, "Software", KEY_ALL_ACCESS, CBVKRegistry::Create::No));
  ASSERT_TRUE(registry.DeleteTree("TessaryOne"));
  ASSERT_EQ(Install(std::string(kFirstScript) + "PROD  Halvern Desk 3.0\n"), CSetupApp::kCompleted);
  ASSERT_EQ(Install("PROD  T3\nCODE  T3\nPREV  halvern desk 3.0\nPRVR\n"), CSetupApp::kCompleted);
  EXPECT_EQ(RegistryText(true, "Software\\Tessary", "Count"), "<missing>");
  EXPECT_FALSE(RegistryKeyExists(true, "Software\\TessaryOne\\Settings"));
}

TEST_F(SetupUpgrade, ClassesValuesAreRemovedFromTheClassesHive) {
  SetRegistryText(false, "TessaryFile", "Mode", "the user's own");
  ASSERT_EQ(Install("PROD  Tessary 1.0\nCODE  TY\nREGV  CR$$$TessaryFile$$$Mode$$$open\n"),
            CSetupApp::kCompleted);
  ASSERT_EQ(ClassesText("TessaryFile", "Mode"), "open");
  ASSERT_EQ(Install("PROD  T2\nCODE  T2\nPREV  Tessary 1.0\n"), CSetupApp::kCompleted);
  EXPECT_EQ(ClassesText("TessaryFile", "Mode"), "<missing>");
  EXPECT_EQ(RegistryText(false, "TessaryFile", "Mode"), "the user's own");
}

TEST_F(SetupUpgrade, AFileGoneAlreadyIsRemovedSilently) {
  ASSERT_EQ(Install(kFirstScript), CSetupApp::kCompleted);
  std::filesystem::remove(InstallFolder() + "App.exe");
  ASSERT_EQ(Install("PROD  T2\nCODE  T2\nPREV  Tessary 1.0\n"), CSetupApp::kCompleted);
  EXPECT_TRUE(host_.Messages().empty());
  EXPECT_FALSE(Exists(InstallFolder() + "SetupTY.log"));
}

TEST_F(SetupUpgrade, AFolderThatCannotBeRemovedFailsTheUpgrade) {
  ASSERT_EQ(Install(kFirstScript), CSetupApp::kCompleted);
  WriteFileText(InstallFolder() + "Bin/mine.txt", "the user's");
  host_.QueueAnswer(kIdOk);
  host_.QueueAnswer(kIdOk);
  host_.QueueAnswer(kIdOk);
  host_.QueueAnswer(kIdAbort);
  EXPECT_EQ(Install("PROD  T2\nCODE  T2\nPREV  Tessary 1.0\nFILE  New.exe\n", ""),
            CSetupApp::kFailed);
  const auto& messages = host_.Messages();
  ASSERT_EQ(messages.size(), 7u);
  EXPECT_EQ(messages[3].text.substr(0, 30), "Could not remove the directory");
  EXPECT_EQ(messages[4].text,
            "Tessary 1.0 was not upgraded properly.\nYou may run Brenvik uninstall through the "
            "'Add/Remove' control panel at a later time.");
  EXPECT_EQ(messages[5].text,
            "Upgrade did not remove Tessary 1.0 successfully.\nPlease run the Brenvik uninstall "
            "through the 'Add/Remove' control panel to remove Tessary 1.0.");
  EXPECT_EQ(messages[6].text, CSetupDlg::kFinalMessage);
  EXPECT_FALSE(Exists(InstallFolder() + "New.exe"));
}

TEST_F(SetupUpgrade, NoLogInTheFolderRemovesTheSharedPartsAndGoesOn) {
  SetRegistryText(true, kAppPaths, "Path", InstallFolder());
  SetRegistryText(true, kExtensions, "Brenvik", "4.0;x");
  WriteFileText(InstallFolder() + "ExtMain.dll", "x");
  WriteFileText(InstallFolder() + "Comp.dat", "Halvern.dll\r\n");
  ASSERT_EQ(Install("PROD  T2\nCODE  T2\nPREV  Tessary 1.0\nFILE  New.exe\n"),
            CSetupApp::kCompleted);
  EXPECT_FALSE(Exists(InstallFolder() + "ExtMain.dll"));
  EXPECT_FALSE(Exists(InstallFolder() + "Comp.dat"));
  EXPECT_EQ(RegistryText(true, kExtensions, "Brenvik"), "<missing>");
  EXPECT_TRUE(Exists(InstallFolder() + "New.exe"));
}

TEST_F(SetupUpgrade, ReadingLogsOfTheInstallFolder) {
  SetRegistryText(true, kAppPaths, "Path", InstallFolder());
  WriteFileText(InstallFolder() + "Setup.log", "FILE  : /x/a\r\n");
  WriteFileText(InstallFolder() + "setupTY.LOG",
                "PROD  : Tessary\r\nFILE  : /x/b\r\nFILE  : /x/b\r\n");
  WriteFileText(InstallFolder() + "SetupTY.txt", "PROD  : Not a log\r\n");
  CInstalledProducts installed;
  installed.ReadInstalledProducts();
  ASSERT_EQ(installed.Products().size(), 2u);
  EXPECT_EQ(installed.Products()[0].code, "KP");
  EXPECT_EQ(installed.Products()[0].name, "Lumora 2.5");
  EXPECT_EQ(installed.Products()[1].code, "TY");
  EXPECT_EQ(installed.Products()[1].files, std::set<std::string>{"/x/b"});
}

TEST_F(SetupUpgrade, NoInstallFolderMeansNoProducts) {
  CInstalledProducts installed;
  installed.ReadInstalledProducts();
  EXPECT_TRUE(installed.Products().empty());
  EXPECT_EQ(installed.Error().Text(), "Could not locate any Brenvik products on this machine.");
  SetRegistryText(true, kAppPaths, "Path", InstallFolder());
  std::filesystem::create_directories(InstallFolder());
  installed.ReadInstalledProducts();
  EXPECT_EQ(installed.Error().Text(), "Uninstall could not locate any Brenvik products to remove.");
}

TEST_F(SetupUpgrade, ComponentListLosesTheRemovedLibrary) {
  SetRegistryText(true, kAppPaths, "Path", InstallFolder());
  WriteFileText(InstallFolder() + "Comp.dat", "HALVERN.DLL\r\nOstrand.dll\r\nhalvern.dll\r\n");
  WriteFileText(InstallFolder() + "Halvern.dll", "h");
  WriteFileText(InstallFolder() + "SetupHD.log",
                "PROD  : Halvern\r\nFILE  : " + InstallFolder() + "Halvern.dll\r\n");
  CInstalledProducts installed;
  installed.ReadInstalledProducts();
  ASSERT_EQ(installed.Products().size(), 1u);
  ASSERT_TRUE(installed.RemoveProduct(installed.Products()[0]));
  EXPECT_EQ(ReadFileText(InstallFolder() + "Comp.dat"), "Ostrand.dll\r\n");
  EXPECT_FALSE(Exists(InstallFolder() + "Halvern.dll"));
}

}  // namespace
}  // namespace tessary::setup
