// The installed bash completion, driven as bash drives it: the words of the command line in
// COMP_WORDS (split at '=' and ':' as bash splits them), the function that `complete` names
// called, and COMPREPLY read back.

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "unpacked_package.h"

namespace tessary::testing {
namespace {

using Words = std::set<std::string>;

class Completion : public UnpackedPackageTest {
 protected:
  void SetUp() override {
    UnpackedPackageTest::SetUp();
    if (HasFatalFailure()) return;
    directory_ = (WorkFolder() / "sample.db").string();
    const ProgramRun provision =
        Run("tessary-directory", {"--directory", directory_, "provision", "--domain", "example.com"});
    ASSERT_EQ(provision.status, 0) << provision.err;
  }

  // What bash offers for the command line whose last word is being completed.
  Words Offered(const std::vector<std::string>& words,
                const std::map<std::string, std::string>& env = {}) const {
    const ProgramRun run = Bash(
        "source \"$COMPLETION\" || exit 125\n"
        "COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1))\n"
        "COMP_LINE=\"$*\"; COMP_POINT=${#COMP_LINE}\n"
        "registration=$(complete -p \"$1\") || exit 126\n"
        "function=${registration#*-F }; function=${function%% *}\n"
        "COMPREPLY=()\n"
        "\"$function\" \"$1\" \"${COMP_WORDS[COMP_CWORD]}\" \"${COMP_WORDS[COMP_CWORD - 1]}\"\n"
        "((${#COMPREPLY[@]} == 0)) || printf '%s\\n' \"${COMPREPLY[@]}\"\n",
        words, Environment(env));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    Words offered;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) offered.insert(line);
    return offered;
  }

  std::map<std::string, std::string> Environment(std::map<std::string, std::string> env) const {
    env["COMPLETION"] = (Root() / "usr/share/bash-completion/completions/tessary").string();
    return env;
  }

  std::string directory_;
};

TEST_F(Completion, TessaryOffersItsCommandsAndEachCommandsOptions) {
  EXPECT_EQ(Offered({"tessary", ""}), (Words{"export", "header", "import"}));
  EXPECT_EQ(Offered({"tessary", "--"}), (Words{"--directory", "--help", "--version"}));
  EXPECT_EQ(Offered({"tessary", "--directory", directory_, "ex"}), (Words{"export"}));
  EXPECT_EQ(Offered({"tessary", "export", "--"}),
            (Words{"--class", "--container", "--subcontainers", "--attributes", "--output",
                   "--help"}));
  EXPECT_EQ(Offered({"tessary", "header", "--"}),
            (Words{"--class", "--attributes", "--output", "--help"}));
  EXPECT_EQ(Offered({"tessary", "import", "file.csv", "--"}),
            (Words{"--error-folder", "--overwrite-multivalued", "--create-mailboxes",
                   "--account-disabled", "--password-never-expires", "--no-must-change-password",
                   "--undo-file", "--rehearse", "--rehearse-report", "--help"}));
  // An option is given once: the programs refuse it twice.
  EXPECT_EQ(Offered({"tessary", "export", "--class", "User", "--output", "x.csv", "--s"}),
            (Words{"--subcontainers"}));
  EXPECT_EQ(Offered({"tessary", "export", "--class", "User", "--c"}), (Words{"--container"}));
  EXPECT_EQ(Offered({"tessary", "export", "--container", ""}), Words{}) << "a DN, not a file";
}

TEST_F(Completion, FilesAndFoldersWhereTheyAreNamed) {
  WriteFileText(WorkFolder() / "users.csv", "");
  WriteFileText(WorkFolder() / "groups.csv", "");
  std::filesystem::create_directories(WorkFolder() / "errors");
  EXPECT_EQ(Offered({"tessary", "import", "u"}), (Words{"users.csv"}));
  EXPECT_EQ(Offered({"tessary", "import", "users.csv", "--error-folder", "e"}), (Words{"errors"}));
  EXPECT_EQ(Offered({"tessary", "import", "users.csv", "--error-folder", "g"}), Words{})
      << "a folder, not a file";
  EXPECT_EQ(Offered({"tessary", "export", "--output", "g"}), (Words{"groups.csv"}));
  EXPECT_EQ(Offered({"tessary", "import", "users.csv", "--undo-file", "g"}), (Words{"groups.csv"}));
  EXPECT_EQ(Offered({"tessary", "import", "users.csv", "--rehearse", "--rehearse-report", "u"}),
            (Words{"users.csv"}));
  EXPECT_EQ(Offered({"tessary", "import", "users.csv", "--rehearse-report", "r.csv", "--undo-file",
                     "u.csv", "--re"}),
            (Words{"--rehearse"}))
      << "the values of options are no operands";
  EXPECT_EQ(Offered({"tessary", "--directory", "sam"}), (Words{"sample.db"}));
  WriteFileText(WorkFolder() / "ou.ldif", "");
  EXPECT_EQ(Offered({"tessary-directory", "load", "o"}), (Words{"ou.ldif"}));
  EXPECT_EQ(Offered({"tessary-directory", "provision", "--schema-from", "e"}), (Words{"errors"}));
}

TEST_F(Completion, ClassNamesComeFromTheEmbeddedDirectorysSchema) {
  EXPECT_EQ(Offered({"tessary", "--directory", directory_, "export", "--class", "Organizational-"}),
            (Words{"Organizational-Person", "Organizational-Unit"}));
  // --directory=FILE and --class=NAME, as bash splits them at '='.
  EXPECT_EQ(Offered({"tessary", "--directory", "=", directory_, "header", "--class", "=", "Gro"}),
            (Words{"Group"}));
  EXPECT_EQ(Offered({"tessary", "export", "--class", "Us"}, {{"TESSARY_DIRECTORY", directory_}}),
            (Words{"User"}));
  // Without --directory nor TESSARY_DIRECTORY: the default file of the private machine.
  EXPECT_EQ(Offered({"tessary", "export", "--class", "Contac"}), Words{}) << "no default file yet";
  ASSERT_EQ(Run("tessary-directory", {"provision", "--domain", "example.com"}).status, 0);
  EXPECT_EQ(Offered({"tessary", "export", "--class", "Contac"}), (Words{"Contact"}));
}

// --attributes takes a list: the name after the last comma is completed, the names before it
// kept, and a name already listed is not offered again.
TEST_F(Completion, AttributeNamesComeFromTheEmbeddedDirectorysSchema) {
  const std::vector<std::string> line = {"tessary", "--directory", directory_, "export",
                                         "--attributes"};
  auto with = [&](const std::string& last) {
    std::vector<std::string> words = line;
    words.push_back(last);
    return words;
  };
  EXPECT_EQ(Offered(with("sAMAccount")), (Words{"sAMAccountName", "sAMAccountType"}));
  EXPECT_EQ(Offered(with("mail,sAMAccountN")), (Words{"mail,sAMAccountName"}));
  EXPECT_EQ(Offered(with("mail,givenName,mai")),
            (Words{"mail,givenName,mailAddress", "mail,givenName,mailNickname"}))
      << "mail is listed already";
  EXPECT_EQ(Offered({"tessary", "header", "--attributes=descr"},
                    {{"TESSARY_DIRECTORY", directory_}}),
            (Words{"--attributes=description"}))
      << "one word when bash does not split at '='";
  EXPECT_EQ(Offered({"tessary", "header", "--attributes", "descr"},
                    {{"TESSARY_DIRECTORY", "ldaps://dc.example.com"}}),
            Words{});
}

// A directory on a server offers no class names (no network request at each Tab), and its
// URI, which bash splits at each ':', is still one word before the command.
TEST_F(Completion, AnLdapDirectoryOffersNoClassNames) {
  const std::vector<std::string> uri = {"tessary", "--directory", "ldaps", ":", "//dc.example.com",
                                        ":", "636", "export"};
  std::vector<std::string> words = uri;
  words.insert(words.end(), {"--class", ""});
  EXPECT_EQ(Offered(words), Words{});
  words = uri;
  words.push_back("--su");
  EXPECT_EQ(Offered(words), (Words{"--subcontainers"}));
  EXPECT_EQ(Offered({"tessary", "export", "--class", "Us"},
                    {{"TESSARY_DIRECTORY", "ldap://dc.example.com"}}),
            Words{});
}

TEST_F(Completion, TessaryDirectoryOffersItsCommandsAndOptionsAnywhere) {
  EXPECT_EQ(Offered({"tessary-directory", ""}),
            (Words{"provision", "load", "dump", "info", "classes", "attributes", "help"}));
  EXPECT_EQ(Offered({"tessary-directory", "--directory", directory_, "d"}), (Words{"dump"}));
  EXPECT_EQ(Offered({"tessary-directory", "provision", "--"}),
            (Words{"--domain", "--sample", "--schema-from", "--directory", "--help"}));
  EXPECT_EQ(Offered({"tessary-directory", "--directory", directory_, "provision", "--"}),
            (Words{"--domain", "--sample", "--schema-from", "--help"}));
  EXPECT_EQ(Offered({"tessary-directory", "load", "x.ldif", "--"}),
            (Words{"--schema-update", "--directory", "--help"}));
  EXPECT_EQ(Offered({"tessary-directory", "dump", "--b"}), (Words{"--base"}));
  EXPECT_EQ(Offered({"tessary-directory", "provision", "--domain", ""}), Words{});
}

// bash-completion finds the script on demand under either program's name, the way an
// interactive shell does at the first Tab.
TEST_F(Completion, BashCompletionLoadsItUnderEitherName) {
  const std::string framework = "/usr/share/bash-completion/bash_completion";
  TESSARY_REQUIRE_PREREQUISITE(std::filesystem::exists(framework),
                               "bash-completion is not installed (scripts/install-deps.sh)");
  for (const char* program : {"tessary", "tessary-directory"}) {
    const ProgramRun run = Bash("source \"$1\"\n"
                                "__load_completion \"$2\" || exit 3\n"
                                "complete -p \"$2\"\n",
                                {framework, program},
                                {{"XDG_DATA_DIRS", (Root() / "usr/share").string()}});
    EXPECT_EQ(run.status, 0) << program << run.err;
    EXPECT_NE(run.out.find(" " + std::string(program) + "\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("-F _tessary"), std::string::npos) << run.out;
  }
}

}  // namespace
}  // namespace tessary::testing
