#include "cli/command_line.h"

#include <gtest/gtest.h>

namespace tessary::cli {
namespace {

const std::vector<CommandDefinition> kCommands = {
    {"export", {{"class", true}, {"subcontainers", false}}, 0, 0},
    {"import", {{"error-folder", true}}, 1, 1},
};

CommandLine Parsed(const std::vector<std::string>& args) {
  CommandLine line;
  std::string error;
  EXPECT_TRUE(ParseCommandLine(args, kCommands, &line, &error)) << error;
  return line;
}

std::string Failure(const std::vector<std::string>& args) {
  CommandLine line;
  std::string error;
  EXPECT_FALSE(ParseCommandLine(args, kCommands, &line, &error));
  return error;
}

TEST(CommandLine, OptionsTakeValuesInBothForms) {
  CommandLine line = Parsed({"--directory", "/d.db", "export", "--class=User", "--subcontainers"});
  EXPECT_EQ(line.directory, "/d.db");
  EXPECT_EQ(line.command, "export");
  EXPECT_EQ(line.Value("class"), "User");
  EXPECT_TRUE(line.Has("subcontainers"));
  EXPECT_EQ(Parsed({"--directory=ldap://dc", "export", "--class", "Group"}).directory, "ldap://dc");
}

TEST(CommandLine, OperandsAndTheEndOfOptions) {
  CommandLine line = Parsed({"import", "--error-folder", "/e", "--", "--odd-name.csv"});
  EXPECT_EQ(line.operands, (std::vector<std::string>{"--odd-name.csv"}));
  EXPECT_EQ(line.Value("error-folder"), "/e");
}

TEST(CommandLine, HelpAndVersion) {
  EXPECT_TRUE(Parsed({"--help"}).help);
  EXPECT_TRUE(Parsed({"--version"}).version);
  CommandLine help = Parsed({"import", "--help"});
  EXPECT_TRUE(help.help) << "operands are not counted with --help";
  EXPECT_EQ(help.command, "import");
}

TEST(CommandLine, Failures) {
  EXPECT_EQ(Failure({"bogus"}), "unknown command 'bogus'");
  EXPECT_EQ(Failure({"--bogus"}), "unknown option '--bogus'");
  EXPECT_EQ(Failure({"export", "--colour"}), "unknown option '--colour' for 'export'");
  EXPECT_EQ(Failure({"export", "-x"}), "unknown option '-x' for 'export'");
  EXPECT_EQ(Failure({"export", "--class"}), "the option '--class' needs a value");
  EXPECT_EQ(Failure({"export", "--subcontainers=yes"}),
            "the option '--subcontainers' takes no value");
  EXPECT_EQ(Failure({"export", "--class", "a", "--class", "b"}),
            "the option '--class' is given twice");
  EXPECT_EQ(Failure({"--directory"}), "the option '--directory' needs a value");
  EXPECT_EQ(Failure({"import"}), "'import' needs a file");
  EXPECT_EQ(Failure({"import", "a.csv", "b.csv"}), "unexpected operand 'b.csv' for 'import'");
  EXPECT_EQ(Failure({"export", "stray"}), "unexpected operand 'stray' for 'export'");
}

}  // namespace
}  // namespace tessary::cli
