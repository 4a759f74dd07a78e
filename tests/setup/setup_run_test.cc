// The install run in this process: pages and questions through the scripted host, files and
// registry read back from the test's machine.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/ui/scripted_ui_host.h"
#include "setup/setup_app.h"
#include "setup/setup_dlg.h"
#include "setup_test_machine.h"
#include "support/bvk_progress_scripted_host.h"

namespace tessary::setup {
namespace {

using platform::kIdCancel;
using platform::kIdIgnore;
using platform::kIdNo;
using platform::kIdOk;
using platform::kIdYes;
using tessary::testing::ReadFileText;

constexpr char kAppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Brenvik";
constexpr char kExtensions[] = "Software\\Microsoft\\Exchange\\Client\\Extensions";
constexpr char kWelcome[] =
    "Welcome to the Brenvik installation program.\n\nSetup cannot install system files or "
    "update shared files if they are in use.\nBefore proceeding, we recommend that you close any "
    "applications you may be running.\n\nIt is strongly recommended that you close Outlook "
    "before continuing with this setup.  ";

class SetupRun : public testing::SetupMachine {
 protected:
  void SetUp() override {
    SetupMachine::SetUp();
    ASSERT_TRUE(getcwd(saved_cwd_, sizeof saved_cwd_));
    ASSERT_EQ(chdir(SourceFolder().c_str()), 0);
    platform::SetUiHost(&host_);
  }
  void TearDown() override {
    platform::SetUiHost(nullptr);
    ASSERT_EQ(chdir(saved_cwd_), 0);
  }

  int Run(const std::string& command_line) { return CSetupApp().Run(command_line); }
  std::string Log(const std::string& code) const {
    return ReadFileText(InstallFolder() + "Setup" + code + ".log");
  }
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& message : host_.Messages()) texts.push_back(message.text);
    return texts;
  }

  platform::ScriptedUiHost host_{"Setup"};
  char saved_cwd_[4096] = {};
};

TEST_F(SetupRun, SilentShowsNothingAndInstallsIntoProgramFiles) {
  Source("Files.dat", "PROD  Tessary 1.0\nCODE  TY\nFILE  App.ex_$2\n");
  Source("App.ex_", "program");
  EXPECT_EQ(Run("-silent"), CSetupApp::kCompleted);
  EXPECT_TRUE(host_.Messages().empty());
  EXPECT_EQ(ReadFileText(InstallFolder() + "App.exe"), "program");
  EXPECT_EQ(RegistryText(true, kAppPaths, "Path"), InstallFolder());
  EXPECT_EQ(
      Log("TY"),
      "PROD  : Tessary 1.0\r\nFOLDER: " + InstallFolder().substr(0, InstallFolder().size() - 1) +
          "\r\nFILE  : " + InstallFolder() +
          "App.exe\r\nREGKEY: LM$$$Software\\Microsoft\\Windows\\CurrentVersion\\App "
          "Paths$$$Brenvik\r\nINFO  : Path : " +
          InstallFolder() +
          "\r\nREGKEY: LM$$$Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall$$$"
          "Brenvik\r\nINFO  : DisplayName : Brenvik Software\r\nINFO  : "
          "UninstallString : " +
          InstallFolder() + "Uninst.exe\r\nREGKEY: CU$$$Software$$$Brenvik\r\n");
  EXPECT_TRUE(RegistryKeyExists(false, "Software\\Brenvik"));
}

TEST_F(SetupRun, SilentUsesTheFolderOfAnEarlierInstallation) {
  const std::string earlier = MachineFolder("/srv/apps/Brenvik/");
  SetRegistryText(true, kAppPaths, "Path", earlier);
  Source("Files.dat", "PROD  P\nCODE  TY\nFILE  App.exe\n");
  Source("App.exe", "x");
  EXPECT_EQ(Run("-silent and more"), CSetupApp::kCompleted);
  EXPECT_TRUE(Exists(earlier + "App.exe"));
  EXPECT_FALSE(Exists(InstallFolder()));
}

TEST_F(SetupRun, InteractivePagesInOrder) {
  Source("Files.dat",
         "PROD  Tessary\nCODE  TY\nRQAP  First\nRQAP  Second\nRQOS  Linux\nRQOS  "
         "6\nFILE  App.exe\n");
  Source("App.exe", "x");
  Source("License-TY.txt", "Line one\nLine two\n");
  host_.QueueAnswer(kIdOk);
  host_.QueueAnswer(kIdYes);
  host_.QueueAnswer(kIdOk);
  host_.QueueFolder(MachineFolder("/apps/brenVIK"));
  host_.QueueAnswer(kIdOk);
  ASSERT_EQ(Run(""), CSetupApp::kCompleted);
  const auto texts = MessageTexts();
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[0], kWelcome);
  EXPECT_EQ(host_.Messages()[0].owner_title, "Brenvik Setup");
  EXPECT_EQ(texts[1], "&License Agreement:\nLine one\nLine two\n\nI &accept the agreement");
  EXPECT_EQ(texts[2],
            "Tessary Requirements\n\nThe following applications are required:\nSecond\nFirst\n"
            "\nRequired operating system:\nLinux6");
  EXPECT_EQ(texts[3], "Setup Complete!\n\nInstallation has completed successfully.  ");
  // A folder that already ends with the maker's name gets nothing appended.
  EXPECT_TRUE(Exists(MachineFolder("/apps/brenVIK/App.exe")));
  EXPECT_EQ(host_.FolderTitles(),
            std::vector<std::string>{"Please select the directory where you would like to "
                                     "install the software."});
}

TEST_F(SetupRun, FolderPageAppendsTheMakerFolder) {
  Source("Files.dat", "PROD  Tessary\nCODE  TY\nFILE  App.exe\n");
  Source("App.exe", "x");
  host_.QueueAnswer(kIdOk);
  host_.QueueAnswer(kIdOk);
  host_.QueueFolder(MachineFolder("/apps/"));
  ASSERT_EQ(Run(""), CSetupApp::kCompleted);
  EXPECT_TRUE(Exists(MachineFolder("/apps/Brenvik/App.exe")));
  EXPECT_EQ(RegistryText(true, kAppPaths, "Path"), MachineFolder("/apps/Brenvik/"));
}

TEST_F(SetupRun, RefusingTheWelcomeOrLicenceChangesNothing) {
  Source("Files.dat", "PROD  Tessary\nCODE  TY\nFILE  App.exe\n");
  Source("App.exe", "x");
  Source("License-TY.txt", "terms");
  host_.QueueAnswer(kIdCancel);
  EXPECT_EQ(Run(""), CSetupApp::kRefused);
  host_.QueueAnswer(kIdOk);
  host_.QueueAnswer(kIdNo);
  EXPECT_EQ(Run(""), CSetupApp::kRefused);
  EXPECT_EQ(host_.Messages().size(), 3u);
  EXPECT_FALSE(Exists(InstallFolder()));
  EXPECT_EQ(RegistryText(true, kAppPaths, "Path"), "<missing>");
}

TEST_F(SetupRun, CancellingTheFolderPageFails) {
  Source("Files.dat", "PROD  Tessary\nCODE  TY\nFILE  App.exe\n");
  host_.QueueAnswer(kIdOk);
  host_.QueueAnswer(kIdOk);
  host_.QueueFolder(std::nullopt);
  EXPECT_EQ(Run(""), CSetupApp::kFailed);
  EXPECT_EQ(host_.Messages().back().text, CSetupDlg::kFinalMessage);
  EXPECT_EQ(host_.Messages().back().caption, "Setup");
  EXPECT_EQ(host_.Messages().back().type, platform::kMbOk | platform::kMbIconExclamation);
}

TEST_F(SetupRun, UpdateRunHasItsOwnWelcomeAndWritesNoLog) {
  Source("Files.dat", "FILE  App.exe\n");
  Source("App.exe", "x");
  host_.QueueAnswer(kIdOk);
  host_.QueueFolder(MachineFolder("/apps"));
  ASSERT_EQ(Run(""), CSetupApp::kCompleted);
  EXPECT_EQ(host_.Messages()[0].text,
            "Welcome to the Brenvik update program.\n\nUpdate cannot install system files or "
            "update shared files if they are in use.\nBefore proceeding, we recommend that you "
            "close any applications you may be running.");
  EXPECT_EQ(host_.Messages()[0].owner_title, "Brenvik Update");
  EXPECT_TRUE(Exists(MachineFolder("/apps/Brenvik/App.exe")));
  EXPECT_FALSE(Exists(MachineFolder("/apps/Brenvik/Setup.log")));
}

TEST_F(SetupRun, MissingMainScriptIsReported) {
  EXPECT_EQ(Run("-silent"), CSetupApp::kFailed);
  ASSERT_EQ(host_.Messages().size(), 1u);
  EXPECT_EQ(host_.Messages()[0].caption, "Setup");
  EXPECT_EQ(host_.Messages()[0].text,
            "Could not locate or read the file '" + SourceFolder() +
                "Files.dat'\nThe system cannot find the file specified. (2)");
}

TEST_F(SetupRun, MissingOptionalScriptsAreNormal) {
  Source("FilesGZB.dat", "PROD  Corp\nCODE  TY\nFILE  Corp.exe\n");
  Source("Corp.exe", "x");
  Source("SFiles.dat", "FILE  Extra.exe\n");
  Source("Extra.exe", "y");
  SetRegistryText(true, kAppPaths, "Path", InstallFolder());
  EXPECT_EQ(Run("-corp"), CSetupApp::kCompleted);  // interactive; the host presses Enter
  EXPECT_TRUE(Exists(InstallFolder() + "Corp.exe"));
  EXPECT_TRUE(Exists(InstallFolder() + "Extra.exe"));
}

TEST_F(SetupRun, FileKindsGoToTheirFoldersAndOnlyProgramFilesAreLogged) {
  Source("Files.dat",
         "PROD  P\nCODE  TY\nSUBF  Bin\nFILE  Sys.dll$1\nFILE  Dao.dll$3\nFILE  Sub.dll$4$Bin\n"
         "FILE  Main.da_\nEX    Old.exe\nEX    Main.dat\n");
  for (const char* name : {"Sys.dll", "Dao.dll", "Sub.dll", "Main.da_"}) Source(name, name);
  ASSERT_EQ(Run("-silent"), CSetupApp::kCompleted);
  EXPECT_TRUE(Exists(MachineFolder("/var/lib/brenvik/windows/system32/Sys.dll")));
  EXPECT_TRUE(Exists(MachineFolder("/opt/common/Microsoft Shared/DAO/Dao.dll")));
  EXPECT_TRUE(Exists(InstallFolder() + "Bin/Sub.dll"));
  EXPECT_TRUE(Exists(InstallFolder() + "Main.dat"));
  const std::string log = Log("TY");
  EXPECT_EQ(log.find("Sys.dll"), std::string::npos);
  EXPECT_EQ(log.find("Dao.dll"), std::string::npos);
  EXPECT_NE(log.find("FILE  : " + InstallFolder() + "Bin/Sub.dll\r\n"), std::string::npos);
  EXPECT_NE(log.find("NFILE : " + InstallFolder() + "Old.exe\r\n"), std::string::npos);
  // Installed and removal-only: logged once, by the removal-only entry.
  EXPECT_NE(log.find("NFILE : " + InstallFolder() + "Main.dat\r\n"), std::string::npos);
  EXPECT_EQ(log.find("FILE  : " + InstallFolder() + "Main.dat"), std::string::npos);
  const std::string trace = ReadFileText(InstallFolder() + "SetupTYFiles.txt");
  EXPECT_NE(trace.find("* ("), std::string::npos);
}

TEST_F(SetupRun, ReinstallKeepsTheInstalledCopyAndTracesIt) {
  Source("Files.dat", "PROD  P\nCODE  TY\nFILE  App.exe\n");
  Source("App.exe", "x");
  // A source written a while ago: the installed copy carries its time and is then not newer.
  const timespec past[2] = {{1500000000, 0}, {1500000000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, (SourceFolder() + "App.exe").c_str(), past, 0), 0);
  ASSERT_EQ(Run("-silent"), CSetupApp::kCompleted);
  EXPECT_NE(ReadFileText(InstallFolder() + "SetupTYFiles.txt").find("* ("), std::string::npos);
  ASSERT_EQ(Run("-silent"), CSetupApp::kCompleted);
  const std::string trace = ReadFileText(InstallFolder() + "SetupTYFiles.txt");
  EXPECT_EQ(trace.find("* ("), std::string::npos);
  EXPECT_NE(trace.find("- Dest ("), std::string::npos);
  EXPECT_NE(trace.find("o ("), std::string::npos);
  // Both runs' lines stay in the one log.
  const std::string log = Log("TY");
  EXPECT_NE(log.find("PROD  : P"), log.rfind("PROD  : P"));
}

TEST_F(SetupRun, RegistryEntriesOfTheScript) {
  Source("Files.dat",
         "PROD  P\nCODE  TY\nREGV  LM$$$Software\\X$$$Count$$$dword:12\nREGV  QQ$$$Software\\X$$$"
         "Where$$$%PF%data\nREGV  CU$$$Software\\X$$$Sys$$$%SYSTEM%x %PROGRAM%\nREGK  "
         "LM$$$Software\\X$$$Sub\n");
  ASSERT_EQ(Run("-silent"), CSetupApp::kCompleted);
  EXPECT_EQ(RegistryText(true, "Software\\X", "Count"), "12");
  EXPECT_EQ(RegistryText(false, "Software\\X", "Where"), InstallFolder() + "data");
  EXPECT_EQ(RegistryText(false, "Software\\X", "Sys"),
            MachineFolder("/var/lib/brenvik/windows/system32/x ") +
                InstallFolder().substr(0, InstallFolder().size() - 1));
  EXPECT_TRUE(RegistryKeyExists(true, "Software\\X\\Sub"));
  EXPECT_NE(Log("TY").find("REGVAL: CU$$$Software\\X$$$Where\r\n"), std::string::npos);
}

TEST_F(SetupRun, ComponentsNeedTheExchangeExtensionsKey) {
  Source("Files.dat", "PROD  P\nCODE  TY\nCOMP  Halvern.dll\nFILE  ExtMain.dll\n");
  Source("ExtMain.dll", "ext");
  EXPECT_EQ(Run("-silent"), CSetupApp::kFailed);
  ASSERT_EQ(host_.Messages().size(), 2u);
  EXPECT_EQ(host_.Messages()[0].text.substr(0, 33), "Could not access the registry key");
  EXPECT_EQ(host_.Messages()[1].text, CSetupDlg::kFinalMessage);

  SetRegistryText(true, kExtensions, "Other", "x");
  tessary::testing::WriteFileText(InstallFolder() + "Comp.dat", "Halvern.dll\r\nOstrand.dll\r\n");
  EXPECT_EQ(Run("-silent"), CSetupApp::kCompleted);
  EXPECT_EQ(RegistryText(true, kExtensions, "Brenvik"),
            "4.0;" + InstallFolder() + "ExtMain.dll;1;011000110001000;");
  EXPECT_EQ(ReadFileText(InstallFolder() + "Comp.dat"), "Halvern.dll\r\nOstrand.dll\r\n");
}

TEST_F(SetupRun, NoComponentsLeaveExtensionAndListAlone) {
  SetRegistryText(true, kExtensions, "Other", "x");
  Source("Files.dat", "PROD  P\nCODE  TY\nFILE  ExtMain.dll\n");
  Source("ExtMain.dll", "ext");
  EXPECT_EQ(Run("-silent"), CSetupApp::kCompleted);
  EXPECT_EQ(RegistryText(true, kExtensions, "Brenvik"), "<missing>");
  EXPECT_FALSE(Exists(InstallFolder() + "Comp.dat"));
}

TEST_F(SetupRun, ShortcutsNeedAProductName) {
  Source("Files.dat", "CODE  TY\nFILE  App.exe\nSTRT  Run App$$$App.exe\n");
  Source("App.exe", "x");
  Source("SFiles.dat", "");
  ASSERT_EQ(Run("-silent"), CSetupApp::kCompleted);
  EXPECT_FALSE(Exists(MachineFolder("/usr/local/share/applications/Brenvik")));

  Source("Files.dat", "PROD  Tessary\nCODE  TY\nFILE  App.exe\nSTRT  Run App$$$App.exe\n");
  ASSERT_EQ(Run("-silent"), CSetupApp::kCompleted);
  const std::string link =
      MachineFolder("/usr/local/share/applications/Brenvik/Tessary/Run App.desktop");
  EXPECT_NE(ReadFileText(link).find("Exec="), std::string::npos);
  EXPECT_NE(Log("TY").find("STARTF: " + link + "\r\n"), std::string::npos);
}

TEST_F(SetupRun, ScriptCopyIsLogged) {
  Source("Files.dat", "PROD  P\nCODE  TY\nCOPY  TYFiles.dat\n");
  ASSERT_EQ(Run("-silent"), CSetupApp::kCompleted);
  EXPECT_EQ(ReadFileText(InstallFolder() + "TYFiles.dat"),
            ReadFileText(SourceFolder() + "Files.dat"));
  EXPECT_NE(Log("TY").find("FILE  : " + InstallFolder() + "TYFiles.dat\r\n"), std::string::npos);
}

TEST_F(SetupRun, CompletionPageOffersTheReadMe) {
  Source("Files.dat", "PROD  Tessary\nCODE  TY\nFILE  ReadMe-TY.txt\nODNE  Restart nothing.\n");
  Source("ReadMe-TY.txt", "read me");
  host_.QueueAnswer(kIdOk);
  host_.QueueAnswer(kIdOk);
  host_.QueueFolder(MachineFolder("/apps"));
  host_.QueueAnswer(kIdNo);
  ASSERT_EQ(Run(""), CSetupApp::kCompleted);
  EXPECT_EQ(host_.Messages().back().text,
            "Setup Complete!\n\nInstallation has completed successfully.  \nDocumentation for "
            "this product can be found on your 'Start' menu.\nRestart nothing.\n\n&View important "
            "information about Tessary");
}

TEST_F(SetupRun, CopyFailureAsksAndIgnoreGoesOn) {
  Source("Files.dat", "PROD  P\nCODE  TY\nFILE  Missing.exe\nFILE  App.exe\n");
  Source("App.exe", "x");
  host_.QueueAnswer(kIdOk);
  host_.QueueAnswer(kIdOk);
  host_.QueueFolder(MachineFolder("/apps"));
  host_.QueueAnswer(kIdIgnore);
  ASSERT_EQ(Run(""), CSetupApp::kCompleted);
  EXPECT_EQ(host_.Messages()[2].type, platform::kMbAbortRetryIgnore | platform::kMbIconExclamation);
  EXPECT_EQ(host_.Messages()[2].text.substr(0, 27),
            "Could not copy the file: " + SourceFolder().substr(0, 2));
  EXPECT_TRUE(Exists(MachineFolder("/apps/Brenvik/App.exe")));
}

TEST_F(SetupRun, CopyWindowShowsEachFileAndCancelStopsBeforeTheNext) {
  Source("Files.dat", "PROD  P\nCODE  TY\nFILE  A.exe\nFILE  B.exe\nFILE  C.exe\n");
  for (const char* name : {"A.exe", "B.exe", "C.exe"}) Source(name, name);
  SetRegistryText(true, kAppPaths, "Path", InstallFolder());
  ScriptedProgressHost progress;
  progress.PressAfterProgress(2, 1060);  // while the second file is being copied
  EXPECT_EQ(CSetupApp(&progress).Run(""), CSetupApp::kFailed);
  EXPECT_EQ(progress.Shown().template_id, 297);
  EXPECT_EQ(progress.Log().front(), "range 1122: 3 step 1");
  // Texts set after Cancel are not shown.
  EXPECT_EQ(progress.ControlText(1023), SourceFolder() + "A.exe");
  EXPECT_EQ(progress.ControlText(1024), InstallFolder() + "A.exe");
  EXPECT_TRUE(Exists(InstallFolder() + "B.exe"));
  EXPECT_FALSE(Exists(InstallFolder() + "C.exe"));
  EXPECT_EQ(host_.Messages().back().text, CSetupDlg::kFinalMessage);
}

TEST_F(SetupRun, ExchangeAdministratorMustBeThere) {
  Source("Files.dat", "PROD  P\nCODE  TY\nRQAP  Microsoft Exchange Administrator\n");
  EXPECT_EQ(Run("-silent"), CSetupApp::kRefused);
  EXPECT_EQ(host_.Messages().back().text,
            "The application 'Microsoft Exchange Administrator' must be installed on this machine "
            "in order to install Brenvik Ostler.");
  Source(MachineFolder("/var/lib/brenvik/windows/system32/Dapi.dll"), "dapi");
  EXPECT_EQ(Run("-silent"), CSetupApp::kCompleted);
}

TEST_F(SetupRun, NewerOfficeSelectsTheTenLines) {
  SetRegistryText(true, "Software\\Microsoft\\Office\\10.0\\Common", "x", "y");
  SetRegistryText(true, "Software\\Microsoft\\Office\\8.0", "x", "y");
  Source("Files.dat", "PROD  P\nCODE  TY\nFI10  New.exe\nFIOU  Old.exe\n");
  Source("New.exe", "n");
  Source("Old.exe", "o");
  ASSERT_EQ(Run("-silent"), CSetupApp::kCompleted);
  EXPECT_TRUE(Exists(InstallFolder() + "New.exe"));
  EXPECT_FALSE(Exists(InstallFolder() + "Old.exe"));
}

TEST_F(SetupRun, ConfigsWithoutConfigurationsReadOnlySFiles) {
  Source("Files.dat", "PROD  Main\nCODE  TY\nFILE  Main.exe\n");
  Source("SFiles.dat", "PROD  Side\nCODE  SD\nFILE  Side.exe\n");
  Source("Side.exe", "s");
  ConfigRun run;
  run.silent = true;
  run.default_folder = MachineFolder("/cfg");
  ASSERT_EQ(Run("-configs " + EncodeConfigBlob(run)), CSetupApp::kCompleted);
  EXPECT_TRUE(Exists(MachineFolder("/cfg/Brenvik/Side.exe")));
  EXPECT_FALSE(Exists(MachineFolder("/cfg/Brenvik/Main.exe")));
}

TEST_F(SetupRun, BaseRunIsSilentAndReadsFromItsShare) {
  const std::string share = MachineFolder("/net/srv/Brenvik/ClientFiles/");
  Source(share + "FilesBA.dat", "PROD  Base\nCODE  TY\nFILE  Base.exe\n");
  Source(share + "Base.exe", "b");
  ASSERT_EQ(Run("-base " + MachineFolder("/base") + "$$$srv"), CSetupApp::kCompleted);
  EXPECT_TRUE(host_.Messages().empty());
  EXPECT_TRUE(Exists(MachineFolder("/base/Brenvik/Base.exe")));
}

}  // namespace
}  // namespace tessary::setup
