// The built setup program, run as a process in a private machine: what an administrator sees
// when setup runs unattended.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <regex>

#include "setup/command_line.h"
#include "setup_test_files.h"
#include "setup_test_machine.h"

extern char** environ;

namespace tessary::setup {
namespace {

using tessary::testing::ReadFileText;
using tessary::testing::WriteFileText;

constexpr char kExtensions[] = "Software\\Microsoft\\Exchange\\Client\\Extensions";

class SetupProgram : public testing::SetupMachine {
 protected:
  // Runs setup in the folder with the arguments; standard input is empty, standard error is
  // kept in stderr_.
  int RunSetup(const std::string& folder, const std::vector<std::string>& arguments) {
    const std::string errors = machine_.Root().string() + "/stderr.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    std::vector<std::string> words = {SETUP_BINARY};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, SETUP_BINARY, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    stderr_ = ReadFileText(errors);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string stderr_;
};

TEST_F(SetupProgram, SecondSilentInstallWithPrevReplacesTheFirst) {
  SetRegistryText(true, kExtensions, "Other", "x");
  Source("one/Files.dat",
         "PROD  Tessary 1.0\nCODE  TY\nSUBF  Bin\nSUBF  Bin/Deep\nFILE  App.ex_\n"
         "FILE  Tool.dll$4$Bin/Deep\nFILE  ExtMain.dll\nCOMP  Halvern.dll\n"
         "STRT  Tessary$$$App.ex_\nREGV  LM$$$Software\\Tessary$$$Count$$$dword:3\n"
         "REGK  LM$$$Software\\TessaryOne$$$Settings\n");
  for (const char* name : {"one/App.ex_", "one/Tool.dll", "one/ExtMain.dll"}) Source(name, name);
  Source("other/Files.dat", "PROD  Other\nCODE  OT\nFILE  Other.exe\nCOMP  Ostrand.dll\n");
  Source("other/Other.exe", "other");
  Source("two/Files.dat", "PROD  Tessary 2.0\nCODE  T2\nPREV  TESSARY 1.0\nFILE  New.exe\n");
  Source("two/New.exe", "new");

  ASSERT_EQ(RunSetup(SourceFolder() + "one", {"-silent"}), 0) << stderr_;
  ASSERT_EQ(RunSetup(SourceFolder() + "other", {"-silent"}), 0) << stderr_;
  ASSERT_TRUE(Exists(InstallFolder() + "Bin/Deep/Tool.dll"));
  ASSERT_EQ(RunSetup(SourceFolder() + "two", {"-silent"}), 0) << stderr_;
  EXPECT_EQ(stderr_, "");

  EXPECT_FALSE(Exists(InstallFolder() + "App.exe"));
  EXPECT_FALSE(Exists(InstallFolder() + "Bin"));
  EXPECT_FALSE(Exists(InstallFolder() + "SetupTY.log"));
  EXPECT_FALSE(Exists(MachineFolder("/usr/local/share/applications/Brenvik/Tessary 1.0")));
  EXPECT_EQ(RegistryText(true, "Software\\Tessary", "Count"), "<missing>");
  EXPECT_FALSE(RegistryKeyExists(true, "Software\\TessaryOne\\Settings"));
  // What the products share stays for the one still installed.
  EXPECT_TRUE(Exists(InstallFolder() + "ExtMain.dll"));
  EXPECT_EQ(ReadFileText(InstallFolder() + "Comp.dat"), "Halvern.dll\r\nOstrand.dll\r\n");
  EXPECT_NE(RegistryText(true, kExtensions, "Brenvik"), "<missing>");
  EXPECT_EQ(RegistryText(true, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Brenvik",
                         "Path"),
            InstallFolder());
  EXPECT_TRUE(RegistryKeyExists(false, "Software\\Brenvik"));
  EXPECT_EQ(ReadFileText(InstallFolder() + "Other.exe"), "other");
  EXPECT_EQ(ReadFileText(InstallFolder() + "New.exe"), "new");
}

TEST_F(SetupProgram, ConfigurationRunInstallsEachAndRecordsTheClient) {
  const std::string share = MachineFolder("/net/files1/Brenvik/ClientFiles/");
  Source(share + "FilesTY.dat", "PROD  ignored\nFILE  Sales.exe\n");
  Source(share + "FilesKP.dat", "FILE  Lumora.exe\n");
  Source(share + "Sales.exe", "sales");
  Source(share + "Lumora.exe", "lumora");
  Source(share + "TY-Sales.cfg", "sales configuration");
  Source(share + "KP-Desk.cfg", "desk configuration");
  Source(share + "TYver.dll", setup::testing::VersionedBytes(4, 2, 0, 17));
  ConfigRun run;
  run.server = "files1";
  run.silent = true;
  run.default_folder = MachineFolder("/clients");
  run.configurations = {{"TY", "Sales", "TY-Sales.cfg", "Tessary", "TYver.dll"},
                        {"KP", "NONE", "KP-Desk.cfg", "Lumora", "none.dll"},
                        {"TY", "Old", "NONE", "Tessary", "TYver.dll"}};
  ASSERT_EQ(RunSetup(SourceFolder(), {"-configs", EncodeConfigBlob(run)}), 0) << stderr_;
  const std::string installed = MachineFolder("/clients/Brenvik/");
  EXPECT_EQ(ReadFileText(installed + "Sales.exe"), "sales");
  EXPECT_EQ(ReadFileText(installed + "Lumora.exe"), "lumora");
  EXPECT_TRUE(Exists(installed + "SetupTY.log"));
  EXPECT_TRUE(Exists(installed + "SetupKP.log"));
  EXPECT_EQ(ReadFileText(installed + "TY-.dat"), "sales configuration");
  EXPECT_EQ(ReadFileText(installed + "KP-.dat"), "desk configuration");
  const std::string record = ReadFileText(MachineFolder("/net/files1/Brenvik/TY Clients.log"));
  EXPECT_TRUE(
      std::regex_match(record, std::regex("[^$]+\\$[0-9a-f]{14}\\$Sales\\$4\\.2\\.0\\.17\r\n")))
      << record;
  const std::string desk = ReadFileText(MachineFolder("/net/files1/Brenvik/KP Clients.log"));
  EXPECT_TRUE(std::regex_match(desk, std::regex("[^$]+\\$[0-9a-f]{14}\\$Desk\\$\r\n"))) << desk;
}

TEST_F(SetupProgram, RemovingAProductWithAFileGoneIsSilent) {
  Source("one/Files.dat", "PROD  Tessary 1.0\nCODE  TY\nFILE  App.exe\nFILE  Help.txt\n");
  Source("one/App.exe", "app");
  Source("one/Help.txt", "help");
  Source("two/Files.dat", "PROD  Tessary 2.0\nCODE  T2\nPREV  Tessary 1.0\nFILE  New.exe\n");
  Source("two/New.exe", "new");
  ASSERT_EQ(RunSetup(SourceFolder() + "one", {"-silent"}), 0) << stderr_;
  std::filesystem::remove(InstallFolder() + "Help.txt");
  ASSERT_EQ(RunSetup(SourceFolder() + "two", {"-silent"}), 0) << stderr_;
  EXPECT_EQ(stderr_, "");
  EXPECT_FALSE(Exists(InstallFolder() + "App.exe"));
  EXPECT_FALSE(Exists(InstallFolder() + "SetupTY.log"));
}

TEST_F(SetupProgram, TheLogOfAFailedInstallLetsTheNextRunRemoveIt) {
  Source("one/Files.dat",
         "PROD  Tessary 1.0\nCODE  TY\nSUBF  Data\nFILE  App.exe\nFILE  Missing.exe\n"
         "FILE  Never.exe\n");
  Source("one/App.exe", "app");
  Source("one/Never.exe", "never");
  ASSERT_EQ(RunSetup(SourceFolder() + "one", {"-silent"}), 1);
  EXPECT_NE(stderr_.find("Could not copy the file: " + SourceFolder() +
                         "one/Missing.exe to: " + InstallFolder() + "Missing.exe"),
            std::string::npos)
      << stderr_;
  EXPECT_NE(stderr_.find("Setup did not complete successfully.\nSetup may be run again to "
                         "complete the installation."),
            std::string::npos);
  ASSERT_TRUE(Exists(InstallFolder() + "App.exe"));
  EXPECT_FALSE(Exists(InstallFolder() + "Never.exe"));
  const std::string log = ReadFileText(InstallFolder() + "SetupTY.log");
  EXPECT_NE(log.find("FILE  : " + InstallFolder() + "App.exe\r\n"), std::string::npos);
  // The failed run wrote no App Paths entry; the next run finds the log where it installs.
  Source("two/Files.dat", "PROD  Tessary 2.0\nCODE  T2\nPREV  Tessary 1.0\nFILE  New.exe\n");
  Source("two/New.exe", "new");
  ASSERT_EQ(RunSetup(SourceFolder() + "two", {"-silent"}), 0) << stderr_;
  EXPECT_FALSE(Exists(InstallFolder() + "App.exe"));
  EXPECT_FALSE(Exists(InstallFolder() + "Data"));
  EXPECT_FALSE(Exists(InstallFolder() + "SetupTY.log"));
  EXPECT_TRUE(Exists(InstallFolder() + "New.exe"));
}

TEST_F(SetupProgram, MissingFilesDatEndsWithItsMessage) {
  EXPECT_EQ(RunSetup(SourceFolder(), {"-silent"}), 1);
  EXPECT_EQ(stderr_, "Setup: Could not locate or read the file '" + SourceFolder() +
                         "Files.dat'\nThe system cannot find the file specified. (2)\n");
}

}  // namespace
}  // namespace tessary::setup
