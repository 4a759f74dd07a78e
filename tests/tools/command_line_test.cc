#include "command_line.h"

#include <gtest/gtest.h>

namespace tessary::tools {
namespace {

const std::vector<CommandDefinition> kCommands = {
    {"provision", {{"domain", true}, {"sample", false}}, 0, 0},
    {"load", {}, 1, 1},
    {"dump", {{"base", true}}, 0, 0},
    {"help", {}, 0, 0},
};

CommandLine Parse(const std::vector<std::string>& args) {
  CommandLine line;
  std::string error;
  EXPECT_TRUE(ParseCommandLine(args, kCommands, &line, &error)) << error;
  return line;
}

std::string Error(const std::vector<std::string>& args) {
  CommandLine line;
  std::string error;
  EXPECT_FALSE(ParseCommandLine(args, kCommands, &line, &error));
  return error;
}

TEST(CommandLineTest, ReadsGlobalOptionsCommandOptionsAndOperands) {
  CommandLine line =
      Parse({"--directory", "/tmp/d.db", "provision", "--domain=example.com", "--sample"});
  EXPECT_EQ(line.directory, "/tmp/d.db");
  EXPECT_EQ(line.command, "provision");
  EXPECT_EQ(line.Value("domain"), "example.com");
  EXPECT_TRUE(line.Has("sample"));
  EXPECT_FALSE(line.help);

  line = Parse({"load", "--directory=/x.db", "--", "--odd name.ldif"});
  EXPECT_EQ(line.directory, "/x.db") << "global options may follow the command";
  EXPECT_EQ(line.operands, std::vector<std::string>{"--odd name.ldif"});

  line = Parse({"dump", "--base", "OU=Staff,DC=example,DC=com"});
  EXPECT_EQ(line.Value("base"), "OU=Staff,DC=example,DC=com");
  EXPECT_FALSE(line.Has("sample"));
}

TEST(CommandLineTest, HelpWinsOverEverythingElse) {
  EXPECT_TRUE(Parse({"--help"}).help);
  EXPECT_TRUE(Parse({"-h"}).help);
  EXPECT_TRUE(Parse({"help"}).help);
  EXPECT_TRUE(Parse({"load", "--help"}).help) << "no operand needed with --help";
}

TEST(CommandLineTest, BadUsageIsExplained) {
  EXPECT_EQ(Error({}), "no command given");
  EXPECT_EQ(Error({"frobnicate"}), "unknown command 'frobnicate'");
  EXPECT_EQ(Error({"--verbose", "info"}), "unknown option '--verbose'");
  EXPECT_EQ(Error({"-x", "info"}), "unknown option '-x'");
  EXPECT_EQ(Error({"dump", "--sample"}), "the command 'dump' has no option '--sample'");
  EXPECT_EQ(Error({"provision", "--domain"}), "the option '--domain' needs a value");
  EXPECT_EQ(Error({"provision", "--sample=yes"}), "the option '--sample' takes no value");
  EXPECT_EQ(Error({"load"}), "the command 'load' needs a file");
  EXPECT_EQ(Error({"load", "a.ldif", "b.ldif"}), "unexpected operand 'b.ldif'");
  EXPECT_EQ(Error({"dump", "extra"}), "unexpected operand 'extra'");
}

}  // namespace
}  // namespace tessary::tools
