// The built setup program, run as a process in a private machine: what an administrator sees
// when setup runs unattended.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <regex>
#include <thread>

#include "setup/command_line.h"
#include "setup/setup_dlg.h"
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
    const testing::ProgramRun run = testing::RunSetupProgram(folder, arguments, machine_.Root());
    stderr_ = run.err;
    return run.status;
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

TEST_F(SetupProgram, HelpPrintsTheUsageAndInstallsNothing) {
  Source("Files.dat", "PROD  Tessary\nCODE  TY\nFILE  App.exe\n");
  Source("App.exe", "app");
  for (const char* word : {"--help", "-h"}) {
    const testing::ProgramRun run =
        testing::RunSetupProgram(SourceFolder(), {word}, machine_.Root());
    EXPECT_EQ(run.status, 0) << word;
    EXPECT_EQ(run.err, "") << word;
    for (const char* text :
         {"Usage: tessary-setup", "-silent", "-corp", "-base", "-configs", "--help"}) {
      EXPECT_NE(run.out.find(text), std::string::npos) << word << " " << text;
    }
  }
  EXPECT_FALSE(Exists(InstallFolder()));
}

TEST_F(SetupProgram, WithoutATerminalAQuestionEndsTheRunOnce) {
  Source("Files.dat", "PROD  Tessary\nCODE  TY\nFILE  App.exe\n");
  Source("App.exe", "app");
  // The folder that the folder page offers cannot be made: asking again could never end.
  WriteFileText(MachineFolder("/opt"), "a file where the program files folder belongs");
  const testing::ProgramRun run = testing::RunSetupProgram(SourceFolder(), {}, machine_.Root(), 5);
  EXPECT_EQ(run.status, 2) << run.err.substr(0, 2000);
  const std::string notice = "Setup needs a terminal or -silent";
  const std::size_t first = run.err.find(notice);
  EXPECT_NE(first, std::string::npos) << run.err.substr(0, 2000);
  EXPECT_EQ(run.err.find(notice, first + 1), std::string::npos);
  EXPECT_LT(run.err.size(), 2000u);
  EXPECT_FALSE(Exists(InstallFolder()));
}

// A terminal for setup: the answers are typed in advance; what setup shows comes back.
testing::ProgramRun RunAtTerminal(const std::string& folder, const std::string& answers) {
  testing::ProgramRun run;
  int terminal = -1;
  const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
  if (pid < 0) return run;
  if (pid == 0) {
    if (chdir(folder.c_str()) != 0) _exit(127);
    char* argv[] = {const_cast<char*>(SETUP_BINARY), nullptr};
    execv(SETUP_BINARY, argv);
    _exit(127);
  }
  (void)!write(terminal, answers.data(), answers.size());
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  int status = 0;
  for (;;) {
    pollfd ready{terminal, POLLIN, 0};
    if (poll(&ready, 1, 50) > 0) {
      char buffer[4096];
      const ssize_t got = read(terminal, buffer, sizeof buffer);
      if (got > 0) run.out.append(buffer, static_cast<std::size_t>(got));
    }
    if (waitpid(pid, &status, WNOHANG) == pid) break;
    if (std::chrono::steady_clock::now() > limit) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
  }
  close(terminal);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST_F(SetupProgram, TheLicencePageAtATerminalDefaultsToNotAccepting) {
  Source("Files.dat", "PROD  Tessary\nCODE  TY\nFILE  App.exe\n");
  Source("App.exe", "app");
  Source("License-TY.txt", "The terms.\n");
  const int probe = posix_openpt(O_RDWR | O_NOCTTY);
  TESSARY_REQUIRE_PREREQUISITE(probe >= 0, "no pseudo-terminal to run setup at");
  close(probe);
  // OK on the welcome page, Enter on the licence page; then, were the licence accepted, OK on
  // the requirements page and "." (cancel) on the folder page.
  const testing::ProgramRun run = RunAtTerminal(SourceFolder(), "o\n\no\n.\n");
  EXPECT_EQ(run.status, 2) << run.out;
  EXPECT_NE(run.out.find("I &accept the agreement"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("(Enter: [n]o)"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("Requirements"), std::string::npos) << run.out;
  EXPECT_FALSE(Exists(InstallFolder()));
}

// The names of the temporary files of copies in the folder.
std::vector<std::string> CopyTemporaries(const std::string& folder) {
  std::vector<std::string> names;
  if (!std::filesystem::exists(folder)) return names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.find(".~copy-") != std::string::npos) names.push_back(name);
  }
  return names;
}

TEST_F(SetupProgram, AnInterruptedCopyLeavesNoTemporaryFile) {
  Source("Files.dat", "PROD  Tessary\nCODE  TY\nFILE  App.exe\nFILE  Big.exe\n");
  Source("App.exe", "app");
  // A pipe as the source: the copy waits in the middle of the file for as long as the test likes.
  const std::string big = SourceFolder() + "Big.exe";
  ASSERT_EQ(mkfifo(big.c_str(), 0600), 0);
  const int writer = open(big.c_str(), O_RDWR);
  ASSERT_GE(writer, 0);
  const std::string half(4096, 'x');

  // Starts setup and waits until its copy of Big.exe is under way.
  auto start = [&, this](pid_t* pid) {
    ASSERT_EQ(write(writer, half.data(), half.size()), static_cast<ssize_t>(half.size()));
    char program[] = SETUP_BINARY;
    char silent[] = "-silent";
    char* argv[] = {program, silent, nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, (machine_.Root() / "stderr.txt").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, SourceFolder().c_str());
    ASSERT_EQ(posix_spawn(pid, SETUP_BINARY, &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    auto big_copy = [this] {
      for (const std::string& name : CopyTemporaries(InstallFolder())) {
        if (name.starts_with("Big.exe.~copy-")) return true;
      }
      return false;
    };
    while (!big_copy()) {
      ASSERT_LT(std::chrono::steady_clock::now(), limit) << "the copy never started";
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  };
  auto wait = [](pid_t pid) {
    int status = 0;
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (waitpid(pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > limit) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };

  // Ctrl-C: the copy stops, its temporary file goes and the run ends as cancelled.
  pid_t pid = 0;
  start(&pid);
  ASSERT_EQ(kill(pid, SIGINT), 0);
  EXPECT_EQ(wait(pid), 1);
  const std::string errors = ReadFileText(machine_.Root() / "stderr.txt");
  EXPECT_NE(errors.find("Could not copy the file: " + big + " to: " + InstallFolder() +
                        "Big.exe\nThe operation was canceled by the user. (4c7)"),
            std::string::npos)
      << errors;
  EXPECT_NE(errors.find(CSetupDlg::kFinalMessage), std::string::npos) << errors;
  EXPECT_TRUE(CopyTemporaries(InstallFolder()).empty());
  EXPECT_FALSE(Exists(InstallFolder() + "Big.exe"));
  EXPECT_EQ(ReadFileText(InstallFolder() + "App.exe"), "app");

  // Killed outright, the copy leaves its temporary file; the next run removes it, and only it.
  start(&pid);
  ASSERT_EQ(kill(pid, SIGKILL), 0);
  EXPECT_EQ(wait(pid), -1);
  ASSERT_EQ(CopyTemporaries(InstallFolder()).size(), 1u);
  WriteFileText(InstallFolder() + "Notes.~copy-mine", "not setup's");
  close(writer);
  Source("Files.dat", "PROD  Tessary\nCODE  TY\nFILE  App.exe\n");
  ASSERT_EQ(RunSetup(SourceFolder(), {"-silent"}), 0) << stderr_;
  EXPECT_EQ(CopyTemporaries(InstallFolder()), std::vector<std::string>{"Notes.~copy-mine"});
}

}  // namespace
}  // namespace tessary::setup
