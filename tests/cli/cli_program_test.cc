// The built tessary program: options, exit statuses, and what goes to standard output and
// standard error, run on a private machine against a test directory.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>

#include "../directory/test_directory.h"
#include "../export/export_fixture.h"
#include "run_program.h"
#include "support/bvk_registry.h"

namespace tessary::testing {
namespace {

class TessaryProgramTest : public ExportTest {
 protected:
  void SetUp() override {
    ExportTest::SetUp();
    location_ = UsingFreshEmbeddedDirectory() ? (machine_.Root() / "directory.db").string()
                                              : std::getenv("TESSARY_TEST_DIRECTORY");
  }
  // Runs tessary with --directory and the arguments; libldap's own configuration is ignored
  // unless a test sets it.
  ProgramRun Tessary(std::vector<std::string> args, std::map<std::string, std::string> env = {}) {
    args.insert(args.begin(), {"--directory", location_});
    return Bare(args, env);
  }
  ProgramRun Bare(const std::vector<std::string>& args,
                  std::map<std::string, std::string> env = {}) {
    env.emplace("LDAPNOINIT", "1");
    env.emplace("TESSARY_DIRECTORY", "");
    return RunProgram(TESSARY_PROGRAM, args, env);
  }
  std::vector<std::string> ExportArgs(const std::string& output) {
    return {"export", "--class", "User", "--container", unit_, "--output", Path(output)};
  }

  std::string location_;
};

TEST_F(TessaryProgramTest, VersionAndHelpGoToStandardOutput) {
  ProgramRun version = Bare({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "tessary 0.1.0\n");
  ProgramRun help = Bare({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Commands:\n  export"), std::string::npos) << help.out;
  ProgramRun export_help = Bare({"export", "--help"});
  EXPECT_EQ(export_help.status, 0);
  EXPECT_EQ(export_help.out.rfind("usage: tessary [--directory URI|PATH] export --class NAME", 0),
            0u)
      << export_help.out;
  EXPECT_EQ(export_help.err, "");
}

TEST_F(TessaryProgramTest, BadOptionsExitWithTwo) {
  ProgramRun none = Bare({});
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.err,
            "tessary: the wizard needs a display; without one, use a command.\n"
            "Try 'tessary --help'.\n");
  ProgramRun unknown = Bare({"bogus"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.err, "tessary: unknown command 'bogus'\nTry 'tessary --help'.\n");
  ProgramRun option = Bare({"export", "--colour", "red"});
  EXPECT_EQ(option.status, 2);
  EXPECT_EQ(option.err, "tessary: unknown option '--colour' for 'export'\nTry 'tessary --help'.\n");
  ProgramRun missing = Tessary({"export", "--class", "User", "--output", Path("x.csv")});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "tessary: 'export' needs --container\nTry 'tessary export --help'.\n");
  ProgramRun no_file = Tessary({"import"});
  EXPECT_EQ(no_file.status, 2);
  EXPECT_EQ(no_file.err, "tessary: 'import' needs a file\nTry 'tessary --help'.\n");
  EXPECT_EQ(missing.out + no_file.out, "");
}

// Without a command on a display, tessary hands its process to the wizard's program; a display
// that is named but gone gets the terminal's answer instead of the window library's abort.
TEST_F(TessaryProgramTest, TheWizardStartsOnlyOnADisplayThatAnswers) {
  const std::string wayland = (machine_.Root() / "wayland-test").string();
  ProgramRun gone = Bare({}, {{"DISPLAY", ":9871"}, {"WAYLAND_DISPLAY", wayland}});
  EXPECT_EQ(gone.status, 2);
  EXPECT_EQ(gone.err,
            "tessary: the wizard needs a display; without one, use a command.\n"
            "Try 'tessary --help'.\n");

  const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, wayland.c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 4), 0);
  const pid_t child = fork();
  if (child == 0) {
    setenv("WAYLAND_DISPLAY", wayland.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const int null = open("/dev/null", O_RDWR);
    for (int fd : {0, 1, 2}) dup2(null, fd);
    execl(TESSARY_PROGRAM, TESSARY_PROGRAM, "--directory", location_.c_str(), nullptr);
    _exit(127);
  }
  ASSERT_GT(child, 0);
  const std::string exe = "/proc/" + std::to_string(child) + "/exe";
  std::string running;
  for (int tries = 0; tries < 200 && running.find("tessary-wizard") == std::string::npos;
       ++tries) {
    std::error_code ignored;
    running = std::filesystem::read_symlink(exe, ignored).string();
    if (running.find("tessary-wizard") == std::string::npos) usleep(50'000);
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  close(listener);
  EXPECT_NE(running.find("tessary-wizard"), std::string::npos) << running;
}

TEST_F(TessaryProgramTest, ExportPrintsTheSummaryAndWritesTheFile) {
  const std::string dn = AddUser("Ann", {{"mail", {"ann@example.com"}}});
  AddUser("Bob", {{"mail", {"bob@example.com"}}});
  ProgramRun run = Tessary({"export", "--class", "User", "--container", unit_, "--attributes",
                            "mail", "--output", Path("users.csv")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Export file '" + Path("users.csv") +
                         "' completed successfully.\n2 'User' objects were exported.\n");
  EXPECT_EQ(run.err, "") << "no bar when standard error is no terminal";
  const std::string text = FileText("users.csv");
  EXPECT_EQ(text.rfind("distinguishedName,objectGUID,mail\r\n\"" + dn + "\",{", 0), 0u) << text;
  EXPECT_NE(text.find(",ann@example.com\r\n"), std::string::npos);
}

TEST_F(TessaryProgramTest, ExportWithSubcontainersDescends) {
  const std::string child = Add("organizationalUnit", "OU=Child");
  AddUser("Deep", {}, child);
  ProgramRun flat = Tessary(ExportArgs("flat.csv"));
  EXPECT_EQ(flat.status, 2);
  EXPECT_EQ(flat.err, "Could not locate any objects of the class 'User' in the container '" +
                          unit_name_ + "'.\n");
  EXPECT_EQ(flat.out, "");
  std::vector<std::string> args = ExportArgs("walk.csv");
  args.push_back("--subcontainers");
  ProgramRun walk = Tessary(args);
  EXPECT_EQ(walk.status, 0) << walk.err;
  EXPECT_NE(walk.out.find("\n1 'User' objects were exported."), std::string::npos);
}

TEST_F(TessaryProgramTest, ExportNamesWhatCannotBeFound) {
  AddUser("Ann");
  std::vector<std::string> args = ExportArgs("x.csv");
  args[2] = "No-Such-Class";
  ProgramRun no_class = Tessary(args);
  EXPECT_EQ(no_class.status, 2);
  EXPECT_EQ(no_class.err, "Could not locate information for the schema class No-Such-Class.\n");

  args = ExportArgs("x.csv");
  args.insert(args.end(), {"--attributes", "mail,noSuchAttribute"});
  ProgramRun no_attribute = Tessary(args);
  EXPECT_EQ(no_attribute.status, 2);
  EXPECT_EQ(no_attribute.err,
            "Could not retrieve information about the attribute 'noSuchAttribute'.\n");

  args = ExportArgs("x.csv");
  args[4] = "OU=Nowhere," + unit_;
  ProgramRun no_container = Tessary(args);
  EXPECT_EQ(no_container.status, 2);
  EXPECT_EQ(no_container.err.rfind("Could not open the object 'OU=Nowhere," + unit_ + "'.\n", 0),
            0u)
      << no_container.err;
  EXPECT_FALSE(std::filesystem::exists(Path("x.csv"))) << "nothing written before the checks";
}

TEST_F(TessaryProgramTest, ExportToAFolderThatIsMissingFails) {
  AddUser("Ann");
  ProgramRun run = Tessary(ExportArgs("missing/x.csv"));
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "Could not write to the file '" + Path("missing/x.csv") +
                         "'\nThe system cannot find the file specified. (2)\n");
}

TEST_F(TessaryProgramTest, ExportKeepsNoChoices) {
  AddUser("Ann");
  ProgramRun run = Tessary(ExportArgs("users.csv"));
  ASSERT_EQ(run.status, 0) << run.err;
  CBVKRegistry registry;
  std::string stored;
  ASSERT_TRUE(registry.OpenKey(HKEY_CURRENT_USER, "Software\\Brenvik\\Tessary"));
  ASSERT_TRUE(registry.ReadString("Export Class", &stored, "(none)"));
  EXPECT_EQ(stored, "(none)");
  EXPECT_FALSE(std::filesystem::exists(machine_.DataHome() / "brenvik/TYExpDef.dat"));
}

TEST_F(TessaryProgramTest, HeaderWritesTheColumnLine) {
  ProgramRun run = Tessary({"header", "--class", "User", "--attributes", "sn,givenName", "--output",
                            Path("header.csv")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Header file '" + Path("header.csv") + "' completed successfully.\n");
  EXPECT_EQ(FileText("header.csv"), "distinguishedName,objectGUID,sn,givenName\r\n");
}

TEST_F(TessaryProgramTest, AHeaderCompletedAsItsHelpSaysImports) {
  ProgramRun help = Bare({"header", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("The header alone cannot be imported. Before importing, add to the "
                          "column line:\n  mode            and write Create in it on every "
                          "line;\n  objectClass     unless NAME is User"),
            std::string::npos)
      << help.out;

  ProgramRun header = Tessary({"header", "--class", "Group", "--attributes", "description",
                               "--output", Path("header.csv")});
  ASSERT_EQ(header.status, 0) << header.err;
  std::string file = FileText("header.csv");
  ASSERT_TRUE(file.ends_with("\r\n"));
  file.resize(file.size() - 2);
  EXPECT_NE(help.out.find("  sAMAccountName  for a User or a Group"), std::string::npos);
  file += ",mode,objectClass,sAMAccountName\r\n\"CN=Builders," + unit_ +
          "\",,Builds things,Create,group,builders" + std::to_string(getpid()) + "\r\n";
  WriteFileText(machine_.Root() / "in.csv", file);
  ProgramRun run = Tessary(
      {"import", Path("in.csv"), "--error-folder", Path("errors"), "--no-must-change-password"});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  ProgramRun exported = Tessary({"export", "--class", "Group", "--container", unit_, "--attributes",
                                 "description", "--output", Path("out.csv")});
  ASSERT_EQ(exported.status, 0) << exported.err;
  EXPECT_NE(FileText("out.csv").find("CN=Builders," + unit_), std::string::npos)
      << FileText("out.csv");
}

TEST_F(TessaryProgramTest, ImportWithoutFailuresExitsWithZero) {
  const std::string dn = AddUser("Ann");
  WriteFileText(machine_.Root() / "in.csv",
                "distinguishedName,mode,title\r\n\"" + dn + "\",Modify,Engineer\r\n");
  ProgramRun run = Tessary({"import", Path("in.csv"), "--error-folder", Path("errors")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Processing of import file '" + Path("in.csv") +
                         "' has completed.\n\n0 'delete' entries were processed.\n0 'create' "
                         "entries were processed.\n1 'modify' entries were processed.\n0 errors "
                         "occurred.\n");
  ProgramRun exported = Tessary({"export", "--class", "User", "--container", unit_, "--attributes",
                                 "title", "--output", Path("out.csv")});
  EXPECT_NE(FileText("out.csv").find(",Engineer\r\n"), std::string::npos);
}

TEST_F(TessaryProgramTest, ImportedUndoFileTakesTheImportBack) {
  const std::string dn = AddUser("Ann");
  WriteFileText(machine_.Root() / "in.csv",
                "distinguishedName,mode,title\r\n\"" + dn + "\",Modify,Engineer\r\n");
  ProgramRun run = Tessary({"import", Path("in.csv"), "--error-folder", Path("errors"),
                            "--undo-file", Path("undo.csv")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("\n\nUndo file: " + Path("undo.csv") + "\n"), std::string::npos)
      << run.out;
  ProgramRun again = Tessary({"import", Path("in.csv"), "--error-folder", Path("errors"),
                              "--undo-file", Path("undo.csv")});
  EXPECT_EQ(again.status, 2) << again.err;  // the first run's way back is kept
  ProgramRun undo = Tessary(
      {"import", Path("undo.csv"), "--error-folder", Path("errors"), "--overwrite-multivalued"});
  ASSERT_EQ(undo.status, 0) << undo.err;
  ASSERT_EQ(Tessary({"export", "--class", "User", "--container", unit_, "--attributes", "title",
                     "--output", Path("out.csv")})
                .status,
            0);
  EXPECT_EQ(FileText("out.csv").find("Engineer"), std::string::npos) << FileText("out.csv");
}

// On an embedded directory the rehearsal runs on a copy of its file; on a server, on what the
// file touches read into a new embedded directory over a connection that refuses writes.
TEST_F(TessaryProgramTest, RehearsalShowsTheChangesAndFailuresOfTheRealRunAndWritesNothing) {
  const std::string ann = AddUser("Ann", {{"title", {"Clerk"}}});
  const std::string nobody = "CN=Nobody," + unit_;
  const std::string bob = "CN=Bob," + unit_;
  WriteFileText(machine_.Root() / "in.csv",
                "mode,distinguishedName,objectClass,title\r\nModify,\"" + ann +
                    "\",,Engineer\r\nModify,\"" + nobody + "\",,Ghost\r\nCreate,\"" + bob +
                    "\",contact,Boss\r\n");
  const bool embedded = UsingFreshEmbeddedDirectory();
  const std::string directory_before = embedded ? FileText("directory.db") : std::string();
  ProgramRun rehearsal =
      Tessary({"import", Path("in.csv"), "--error-folder", Path("errors"), "--account-disabled",
               "--rehearse", "--rehearse-report", Path("report.csv")});
  EXPECT_EQ(rehearsal.status, 3) << rehearsal.err;
  if (embedded) {
    EXPECT_EQ(FileText("directory.db"), directory_before);
  }
  EXPECT_FALSE(std::filesystem::exists(Path("errors")));
  ProgramRun exported = Tessary({"export", "--class", "User", "--container", unit_,
                                 "--attributes", "title", "--output", Path("before.csv")});
  ASSERT_EQ(exported.status, 0) << exported.err;
  EXPECT_NE(FileText("before.csv").find("Clerk"), std::string::npos) << FileText("before.csv");

  ProgramRun real =
      Tessary({"import", Path("in.csv"), "--error-folder", Path("errors"), "--account-disabled"});
  EXPECT_EQ(real.status, 3) << real.err;
  std::string failure;
  for (const auto& file : std::filesystem::directory_iterator(Path("errors"))) {
    const std::string text = FileText("errors/" + file.path().filename().string());
    const std::size_t quote = text.find(",\"", text.find(nobody));
    failure = text.substr(quote + 2, text.rfind('"') - quote - 2);
  }
  ASSERT_FALSE(failure.empty());
  EXPECT_EQ(rehearsal.out,
            "Entry 1: modify " + ann + "\n  title: Clerk -> Engineer\nEntry 2 fails: " + failure +
                "\nEntry 3: create " + bob + "\n  title:  -> Boss\n\nRehearsal of import file '" +
                Path("in.csv") +
                "': nothing was changed.\n\n0 'delete' entries would be processed.\n"
                "1 'create' entries would be processed.\n1 'modify' entries would be "
                "processed.\n1 errors would occur.\n");
  EXPECT_NE(FileText("report.csv")
                .find("Entry,Action,distinguishedName,Attribute,Old values,New "
                      "values,Message\r\n1,modify,\"" +
                      ann + "\",,,,\r\n1,modify,\"" + ann +
                      "\",title,Clerk,Engineer,\r\n2,fail,\"" + nobody),
            std::string::npos)
      << FileText("report.csv");
}

// Ctrl-C while the server is still being reached (here one that takes the connection and never
// answers) ends the process before anything of the rehearsal is in the temporary folder.
TEST_F(TessaryProgramTest, ARehearsalInterruptedBeforeItsCopyLeavesNothingInTheTemporaryFolder) {
  WriteFileText(machine_.Root() / "in.csv", "mode,distinguishedName\r\nDelete,\"CN=A,DC=x\"\r\n");
  const std::filesystem::path temporary = machine_.Root() / "tmp";
  std::filesystem::create_directory(temporary);
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
  ASSERT_EQ(listen(listener, 4), 0);
  const std::string uri = "ldaps://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
  const std::string file = Path("in.csv");
  const pid_t child = fork();
  if (child == 0) {
    setenv("TMPDIR", temporary.c_str(), 1);
    setenv("LDAPNOINIT", "1", 1);
    const int null = open("/dev/null", O_RDWR);
    for (int fd : {0, 1, 2}) dup2(null, fd);
    execl(TESSARY_PROGRAM, TESSARY_PROGRAM, "--directory", uri.c_str(), "import", file.c_str(),
          "--rehearse", nullptr);
    _exit(127);
  }
  ASSERT_GT(child, 0);
  // A program that ends before it connects must fail the test, not hang it.
  pollfd waiting{listener, POLLIN, 0};
  const int connection =
      poll(&waiting, 1, 20'000) == 1 ? accept(listener, nullptr, nullptr) : -1;
  kill(child, SIGINT);
  int status = 0;
  waitpid(child, &status, 0);
  if (connection >= 0) close(connection);
  close(listener);
  EXPECT_GE(connection, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
  EXPECT_TRUE(std::filesystem::is_empty(temporary));
}

TEST_F(TessaryProgramTest, ImportKeepsNoChoices) {
  const std::string dn = AddUser("Ann");
  WriteFileText(machine_.Root() / "in.csv",
                "distinguishedName,mode,title\r\n\"" + dn + "\",Modify,Engineer\r\n");
  ProgramRun run = Tessary({"import", Path("in.csv"), "--account-disabled"});
  ASSERT_EQ(run.status, 0) << run.err;
  CBVKRegistry registry;
  ASSERT_TRUE(registry.OpenKey(HKEY_CURRENT_USER, "Software\\Brenvik\\Tessary"));
  std::uint32_t flag = 7;
  ASSERT_TRUE(registry.ReadDWORD("Imp Account Disabled", &flag, 7));
  EXPECT_EQ(flag, 7u);
  std::string stored;
  ASSERT_TRUE(registry.ReadString("Imp File", &stored, "(none)"));
  EXPECT_EQ(stored, "(none)");
}

TEST_F(TessaryProgramTest, ImportWithAFailedEntryExitsWithThreeAndNamesTheErrorFile) {
  const std::string dn = AddUser("Ann");
  WriteFileText(machine_.Root() / "in.csv", "distinguishedName,mode,title\r\n\"" + dn +
                                                "\",Modify,Engineer\r\n\"CN=Nobody," + unit_ +
                                                "\",Modify,Ghost\r\n");
  ProgramRun run = Tessary({"import", Path("in.csv"), "--error-folder", Path("errors")});
  EXPECT_EQ(run.status, 3) << run.err;
  EXPECT_NE(run.out.find("1 'modify' entries were processed.\n1 errors occurred.\n\nError file: " +
                         Path("errors") + "/Errors - "),
            std::string::npos)
      << run.out;
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path("errors")),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(TessaryProgramTest, ImportIntoAnErrorFolderThatCannotBeWrittenAppliesNothing) {
  const std::string dn = AddUser("Ann");
  WriteFileText(machine_.Root() / "in.csv", "distinguishedName,mode,title\r\n\"" + dn +
                                                "\",Modify,Engineer\r\n\"CN=Nobody," + unit_ +
                                                "\",Modify,Ghost\r\n");
  // Not even root may create files in /proc.
  ProgramRun run = Tessary({"import", Path("in.csv"), "--error-folder", "/proc"});
  EXPECT_EQ(run.status, 2) << run.err;
  EXPECT_TRUE(run.err.starts_with("Could not create the file '/proc/Errors - ")) << run.err;
  EXPECT_NE(run.err.find("\nNothing was imported"), std::string::npos) << run.err;
  ProgramRun exported = Tessary({"export", "--class", "User", "--container", unit_, "--attributes",
                                 "title", "--output", Path("out.csv")});
  EXPECT_EQ(FileText("out.csv").find("Engineer"), std::string::npos) << FileText("out.csv");
}

TEST_F(TessaryProgramTest, ImportFileCheckFailureExitsWithTwo) {
  WriteFileText(machine_.Root() / "in.csv", "distinguishedName,title\r\n");
  ProgramRun run = Tessary({"import", Path("in.csv")});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err,
            "Could not locate the column 'mode' in the import file.\nThis column is required in "
            "order to delete, modify or create new objects.\n");
  EXPECT_EQ(run.out, "");
}

TEST_F(TessaryProgramTest, ImportValidationFailureExitsWithTwo) {
  WriteFileText(machine_.Root() / "in.csv",
                "distinguishedName,mode\r\n\"CN=x,OU=y\",Modify,extra\r\n");
  ProgramRun run = Tessary({"import", Path("in.csv")});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(
      run.err.rfind("Line 1 (including the header line) in your import file is invalid.\n", 0), 0u)
      << run.err;
}

class DirectoryChoiceTest : public TessaryProgramTest {};

TEST_F(DirectoryChoiceTest, AMissingEmbeddedFileIsNamed) {
  const std::string missing = Path("none.db");
  ProgramRun run =
      Bare({"--directory", missing, "header", "--class", "User", "--output", Path("h.csv")});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("'" + missing + "'"), std::string::npos) << run.err;
}

TEST_F(DirectoryChoiceTest, TheEnvironmentVariableComesBeforeTheRegistry) {
  if (!UsingFreshEmbeddedDirectory()) GTEST_SKIP() << "the location is an embedded file only here";
  CBVKRegistry registry;
  ASSERT_TRUE(registry.OpenKey(HKEY_CURRENT_USER, "Software\\Brenvik\\Tessary"));
  ASSERT_TRUE(registry.WriteString("Directory", Path("from-registry.db")));
  ProgramRun from_variable =
      RunProgram(TESSARY_PROGRAM, {"header", "--class", "User", "--output", Path("h.csv")},
                 {{"TESSARY_DIRECTORY", location_}, {"LDAPNOINIT", "1"}});
  EXPECT_EQ(from_variable.status, 0) << from_variable.err;
  ProgramRun from_registry = Bare({"header", "--class", "User", "--output", Path("h.csv")});
  EXPECT_EQ(from_registry.status, 2);
  EXPECT_NE(from_registry.err.find("'" + Path("from-registry.db") + "'"), std::string::npos)
      << from_registry.err;
}

TEST_F(DirectoryChoiceTest, LibldapsUriComesBeforeTheEmbeddedDefault) {
  ProgramRun run = RunProgram(
      TESSARY_PROGRAM, {"header", "--class", "User", "--output", Path("h.csv")},
      {{"TESSARY_DIRECTORY", ""}, {"LDAPNOINIT", ""}, {"LDAPURI", "ldap://127.0.0.1:9"}});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("ldap://127.0.0.1:9"), std::string::npos) << run.err;
}

// Runs the test's programs from a folder of its own, as a user in a shared folder would.
class WorkingFolder {
 public:
  explicit WorkingFolder(const std::filesystem::path& folder)
      : saved_(std::filesystem::current_path()) {
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);
  }
  ~WorkingFolder() { std::filesystem::current_path(saved_); }
  WorkingFolder(const WorkingFolder&) = delete;
  WorkingFolder& operator=(const WorkingFolder&) = delete;

 private:
  std::filesystem::path saved_;
};

TEST_F(DirectoryChoiceTest, AnLdaprcInTheWorkingFolderNeverChoosesTheServer) {
  const std::filesystem::path shared = machine_.Root() / "shared";
  WorkingFolder here(shared);
  WriteFileText(shared / "ldaprc", "URI ldap://127.0.0.1:7\n");
  WriteFileText(shared / ".ldaprc", "URI ldap://127.0.0.1:8\n");
  const std::map<std::string, std::string> libldap_reads = {
      {"LDAPNOINIT", ""}, {"LDAPURI", ""}, {"LDAPCONF", ""}, {"LDAPRC", ""}};
  ProgramRun planted = Bare({"header", "--class", "User", "--output", "h.csv"}, libldap_reads);
  EXPECT_EQ(planted.status, 2);
  EXPECT_EQ(planted.err.find("127.0.0.1"), std::string::npos) << planted.err;
  EXPECT_NE(planted.err.find("'" + (machine_.DataHome() / "brenvik/directory.db").string() + "'"),
            std::string::npos)
      << planted.err;

  // LDAPRC names a file in the home folder, not the working folder's copy.
  std::map<std::string, std::string> named = libldap_reads;
  named["LDAPRC"] = ".ldaprc";
  ProgramRun by_name = Bare({"header", "--class", "User", "--output", "h.csv"}, named);
  EXPECT_EQ(by_name.err.find("127.0.0.1"), std::string::npos) << by_name.err;

  // The user's own file in the home folder still counts.
  WriteFileText(machine_.Home() / ".ldaprc", "URI ldap://127.0.0.1:9\n");
  ProgramRun own = Bare({"header", "--class", "User", "--output", "h.csv"}, libldap_reads);
  EXPECT_EQ(own.status, 2);
  EXPECT_NE(own.err.find("ldap://127.0.0.1:9"), std::string::npos) << own.err;
}

TEST_F(DirectoryChoiceTest, RelativePathsStillNameTheWorkingFolder) {
  const std::filesystem::path work = machine_.Root() / "work";
  WorkingFolder here(work);
  ProgramRun run = Tessary({"header", "--class", "User", "--output", "h.csv"},
                           {{"LDAPNOINIT", ""}, {"LDAPURI", ""}, {"LDAPRC", ""}});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(std::filesystem::exists(work / "h.csv"));
}

TEST_F(DirectoryChoiceTest, TheEmbeddedDefaultIsInTheDataFolder) {
  ProgramRun run = Bare({"header", "--class", "User", "--output", Path("h.csv")});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("'" + (machine_.DataHome() / "brenvik/directory.db").string() + "'"),
            std::string::npos)
      << run.err;
}

}  // namespace
}  // namespace tessary::testing
