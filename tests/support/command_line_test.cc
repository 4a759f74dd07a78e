#include "support/command_line.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

// The rules as tessary gives them: global options lead, --version, a repeated option refused.
constexpr CommandLineRules kTessary = {.version_option = true, .refuse_repeated_options = true};

// The rules as tessary-directory gives them: one stream of options, the command "help", a
// command required, and its own words for a command's faults.
constexpr CommandLineRules kDirectoryTool = {
    .global_options_anywhere = true,
    .help_command = true,
    .command_required = true,
    .unknown_command_option = "the command '{command}' has no option '{option}'",
    .missing_operands = "the command '{command}' needs {needs}",
    .unexpected_operand = "unexpected operand '{operand}'"};

const std::vector<CommandDefinition> kTessaryCommands = {
    {"export", {{"class", true}, {"subcontainers", false}}, 0, 0},
    {"import", {{"error-folder", true}}, 1, 1},
    {"copy", {}, 2, 2},
};

const std::vector<CommandDefinition> kToolCommands = {
    {"provision", {{"domain", true}, {"sample", false}}, 0, 0},
    {"load", {}, 1, 1},
    {"dump", {{"base", true}}, 0, 0},
};

class CommandLineTest : public ::testing::Test {
 protected:
  CommandLine Tessary(const std::vector<std::string>& args) {
    return Parsed(args, kTessaryCommands, kTessary);
  }
  CommandLine Tool(const std::vector<std::string>& args) {
    return Parsed(args, kToolCommands, kDirectoryTool);
  }
  std::string TessaryFailure(const std::vector<std::string>& args) {
    return Failure(args, kTessaryCommands, kTessary);
  }
  std::string ToolFailure(const std::vector<std::string>& args) {
    return Failure(args, kToolCommands, kDirectoryTool);
  }

 private:
  static CommandLine Parsed(const std::vector<std::string>& args,
                            const std::vector<CommandDefinition>& commands,
                            const CommandLineRules& rules) {
    CommandLine line;
    std::string error;
    EXPECT_TRUE(ParseCommandLine(args, commands, rules, &line, &error)) << error;
    return line;
  }
  static std::string Failure(const std::vector<std::string>& args,
                             const std::vector<CommandDefinition>& commands,
                             const CommandLineRules& rules) {
    CommandLine line;
    std::string error;
    EXPECT_FALSE(ParseCommandLine(args, commands, rules, &line, &error));
    return error;
  }
};

TEST_F(CommandLineTest, OptionsTakeValuesInBothForms) {
  CommandLine line = Tessary({"--directory", "/d.db", "export", "--class=User", "--subcontainers"});
  EXPECT_EQ(line.directory, "/d.db");
  EXPECT_EQ(line.command, "export");
  EXPECT_EQ(line.Value("class"), "User");
  EXPECT_TRUE(line.Has("subcontainers"));
  EXPECT_FALSE(line.Has("class=User"));
  EXPECT_FALSE(line.help);
  EXPECT_EQ(Tessary({"--directory=ldap://dc", "export", "--class", "Group"}).directory,
            "ldap://dc");

  line = Tool({"--directory", "/tmp/d.db", "provision", "--domain=example.com", "--sample"});
  EXPECT_EQ(line.directory, "/tmp/d.db");
  EXPECT_EQ(line.command, "provision");
  EXPECT_EQ(line.Value("domain"), "example.com");
  EXPECT_TRUE(line.Has("sample"));

  line = Tool({"dump", "--base", "OU=Staff,DC=example,DC=com"});
  EXPECT_EQ(line.Value("base"), "OU=Staff,DC=example,DC=com") << "'=' in a separate value";
  EXPECT_FALSE(line.Has("sample"));
  EXPECT_EQ(line.Value("sample"), "");
  EXPECT_EQ(Tool({"dump", "--base=OU=a,DC=b"}).Value("base"), "OU=a,DC=b");
  EXPECT_EQ(Tool({"dump", "--base", "--odd"}).Value("base"), "--odd") << "a value is any word";
}

TEST_F(CommandLineTest, OperandsAndTheEndOfOptions) {
  CommandLine line = Tessary({"import", "--error-folder", "/e", "--", "--odd-name.csv"});
  EXPECT_EQ(line.operands, (std::vector<std::string>{"--odd-name.csv"}));
  EXPECT_EQ(line.Value("error-folder"), "/e");
  EXPECT_EQ(Tessary({"import", "-"}).operands, (std::vector<std::string>{"-"}));
  EXPECT_EQ(Tessary({"import", "--", "-h"}).operands, (std::vector<std::string>{"-h"}));
  EXPECT_FALSE(Tessary({"import", "--", "-h"}).help);

  line = Tool({"load", "--directory=/x.db", "--", "--odd name.ldif"});
  EXPECT_EQ(line.directory, "/x.db") << "the tool's global options may follow the command";
  EXPECT_EQ(line.operands, std::vector<std::string>{"--odd name.ldif"});
  line = Tool({"--", "load", "-x.ldif"});
  EXPECT_EQ(line.command, "load") << "the tool's \"--\" may come before the command";
  EXPECT_EQ(line.operands, std::vector<std::string>{"-x.ldif"});
}

TEST_F(CommandLineTest, HelpDoesNotCountOperands) {
  EXPECT_TRUE(Tessary({"--help"}).help);
  EXPECT_TRUE(Tessary({"-h"}).help);
  CommandLine help = Tessary({"import", "--help"});
  EXPECT_TRUE(help.help);
  EXPECT_EQ(help.command, "import");
  EXPECT_TRUE(Tessary({"import", "a.csv", "b.csv", "-h"}).help);

  EXPECT_TRUE(Tool({"--help"}).help);
  EXPECT_TRUE(Tool({"-h"}).help);
  EXPECT_TRUE(Tool({"load", "--help"}).help);
  EXPECT_EQ(ToolFailure({"--help", "bogus"}), "unknown command 'bogus'") << "help names no command";
  EXPECT_EQ(TessaryFailure({"--help", "bogus"}), "unknown command 'bogus'");
}

TEST_F(CommandLineTest, VersionIsAGlobalOptionOfTessaryOnly) {
  CommandLine line = Tessary({"--version"});
  EXPECT_TRUE(line.version);
  EXPECT_EQ(line.command, "");
  EXPECT_FALSE(Tessary({"export"}).version);
  EXPECT_EQ(TessaryFailure({"export", "--version"}), "unknown option '--version' for 'export'");
  EXPECT_EQ(TessaryFailure({"--version=2"}), "the option '--version' takes no value");
  EXPECT_EQ(ToolFailure({"--version"}), "unknown option '--version'");
  EXPECT_EQ(ToolFailure({"dump", "--version"}), "the command 'dump' has no option '--version'");
}

TEST_F(CommandLineTest, HelpIsACommandOfTheToolOnly) {
  CommandLine line = Tool({"help"});
  EXPECT_TRUE(line.help);
  EXPECT_EQ(line.command, "help");
  EXPECT_TRUE(Tool({"help", "load"}).help) << "operands are not counted";
  EXPECT_EQ(ToolFailure({"help", "--sample"}), "the command 'help' has no option '--sample'");
  EXPECT_EQ(TessaryFailure({"help"}), "unknown command 'help'");
}

TEST_F(CommandLineTest, WhereGlobalOptionsMayStand) {
  EXPECT_EQ(TessaryFailure({"export", "--directory", "/d.db"}),
            "unknown option '--directory' for 'export'");
  EXPECT_EQ(Tool({"dump", "--directory", "/d.db", "--base", "DC=x"}).directory, "/d.db");
  EXPECT_EQ(Tool({"--directory", "/a.db", "dump", "--directory=/b.db"}).directory, "/b.db");
  EXPECT_EQ(TessaryFailure({"--", "export"}), "unknown option '--'");
  EXPECT_EQ(TessaryFailure({"-", "export"}), "unknown option '-'");
  EXPECT_EQ(ToolFailure({"-"}), "unknown command '-'");
}

TEST_F(CommandLineTest, ACommandIsRequiredByTheToolOnly) {
  CommandLine line = Tessary({"--directory", "/d.db"});
  EXPECT_EQ(line.command, "") << "tessary shows its usage itself";
  EXPECT_FALSE(line.help);
  EXPECT_EQ(Tessary({}).command, "");
  EXPECT_EQ(ToolFailure({}), "no command given");
  EXPECT_EQ(ToolFailure({"--directory", "/d.db"}), "no command given");
}

TEST_F(CommandLineTest, ARepeatedOptionIsRefusedByTessaryOnly) {
  EXPECT_EQ(TessaryFailure({"export", "--class", "a", "--class", "b"}),
            "the option '--class' is given twice");
  EXPECT_EQ(TessaryFailure({"export", "--subcontainers", "--subcontainers"}),
            "the option '--subcontainers' is given twice");
  EXPECT_TRUE(Tessary({"import", "-h", "--help", "a.csv"}).help) << "help may be repeated";
  EXPECT_EQ(Tool({"dump", "--base", "a", "--base", "b"}).Value("base"), "b");
  EXPECT_TRUE(Tool({"provision", "--sample", "--sample"}).Has("sample"));
}

TEST_F(CommandLineTest, AnEmptyDirectoryIsRefused) {
  EXPECT_EQ(TessaryFailure({"--directory"}), "the option '--directory' needs a value");
  EXPECT_EQ(TessaryFailure({"--directory=", "export"}), "the option '--directory' needs a value");
  EXPECT_EQ(TessaryFailure({"--directory", "", "export"}),
            "the option '--directory' needs a value");
  EXPECT_EQ(ToolFailure({"dump", "--directory="}), "the option '--directory' needs a value");
  EXPECT_EQ(ToolFailure({"--directory", "", "dump"}), "the option '--directory' needs a value");
}

TEST_F(CommandLineTest, TessaryFailures) {
  EXPECT_EQ(TessaryFailure({"bogus"}), "unknown command 'bogus'");
  EXPECT_EQ(TessaryFailure({"--bogus"}), "unknown option '--bogus'");
  EXPECT_EQ(TessaryFailure({"-x", "export"}), "unknown option '-x'");
  EXPECT_EQ(TessaryFailure({"export", "--colour"}), "unknown option '--colour' for 'export'");
  EXPECT_EQ(TessaryFailure({"export", "--colour=red"}), "unknown option '--colour' for 'export'");
  EXPECT_EQ(TessaryFailure({"export", "-x"}), "unknown option '-x' for 'export'");
  EXPECT_EQ(TessaryFailure({"export", "--class"}), "the option '--class' needs a value");
  EXPECT_EQ(TessaryFailure({"export", "--subcontainers=yes"}),
            "the option '--subcontainers' takes no value");
  EXPECT_EQ(TessaryFailure({"export", "--help=yes"}), "the option '--help' takes no value");
  EXPECT_EQ(TessaryFailure({"import"}), "'import' needs a file");
  EXPECT_EQ(TessaryFailure({"copy", "a"}), "'copy' needs more operands");
  EXPECT_EQ(TessaryFailure({"import", "a.csv", "b.csv"}),
            "unexpected operand 'b.csv' for 'import'");
  EXPECT_EQ(TessaryFailure({"export", "stray"}), "unexpected operand 'stray' for 'export'");
}

TEST_F(CommandLineTest, DirectoryToolFailures) {
  EXPECT_EQ(ToolFailure({"frobnicate"}), "unknown command 'frobnicate'");
  EXPECT_EQ(ToolFailure({"--verbose", "dump"}), "unknown option '--verbose'");
  EXPECT_EQ(ToolFailure({"-x", "dump"}), "unknown option '-x'");
  EXPECT_EQ(ToolFailure({"dump", "--sample"}), "the command 'dump' has no option '--sample'");
  EXPECT_EQ(ToolFailure({"load", "-x"}), "the command 'load' has no option '-x'");
  EXPECT_EQ(ToolFailure({"provision", "--domain"}), "the option '--domain' needs a value");
  EXPECT_EQ(ToolFailure({"provision", "--sample=yes"}), "the option '--sample' takes no value");
  EXPECT_EQ(ToolFailure({"--help=yes"}), "the option '--help' takes no value");
  EXPECT_EQ(ToolFailure({"load"}), "the command 'load' needs a file");
  EXPECT_EQ(ToolFailure({"load", "a.ldif", "b.ldif"}), "unexpected operand 'b.ldif'");
  EXPECT_EQ(ToolFailure({"dump", "extra"}), "unexpected operand 'extra'");
}

TEST_F(CommandLineTest, GivenWordsAreNeverReadAsPlaceholders) {
  EXPECT_EQ(TessaryFailure({"import", "a.csv", "{command}"}),
            "unexpected operand '{command}' for 'import'");
  EXPECT_EQ(ToolFailure({"dump", "--{command}"}), "the command 'dump' has no option '--{command}'");
  EXPECT_EQ(ToolFailure({"dump", "--{option}"}), "the command 'dump' has no option '--{option}'");
}

}  // namespace
}  // namespace tessary
