#pragma once
// The command lines of our programs (tessary, tessary-directory): global options, one command,
// then the command's options and operands, each command listing what it takes. Options are
// "--name value" or "--name=value"; "--" ends them. Both programs know --directory and --help
// (or -h); what else sets one program apart is data of the caller, its CommandLineRules.

#include <map>
#include <set>
#include <string>
#include <vector>

namespace tessary {

struct OptionSpec {
  const char* name;  // without the leading "--"
  bool takes_value;
};

struct CommandDefinition {
  const char* name;
  std::vector<OptionSpec> options;
  int min_operands;
  int max_operands;
};

// How one program's command line differs from the other's. In the texts "{command}",
// "{option}" and "{operand}" are replaced by what was given, "{needs}" by "a file" when the
// command needs one operand, else by "more operands".
struct CommandLineRules {
  // --version before the command sets CommandLine::version.
  bool version_option = false;
  // --directory, --help and "--" also work before and after the command, as one stream of
  // options. Without it every word starting with '-' before the command is a global option.
  bool global_options_anywhere = false;
  // The command "help" asks for help as --help does; the command table need not list it.
  bool help_command = false;
  // A command's option given twice is refused rather than the last one winning.
  bool refuse_repeated_options = false;
  // A command line with neither a command nor help is refused ("no command given") rather
  // than left to the caller.
  bool command_required = false;
  const char* unknown_command_option = "unknown option '{option}' for '{command}'";
  const char* missing_operands = "'{command}' needs {needs}";
  const char* unexpected_operand = "unexpected operand '{operand}' for '{command}'";
};

struct CommandLine {
  std::string directory;  // --directory; empty when not given
  bool help = false;      // --help or -h anywhere, or the command "help" when a command
  bool version = false;   // --version before the command, when a global option
  std::string command;
  std::map<std::string, std::string> values;  // options that take a value
  std::set<std::string> flags;                // options that do not
  std::vector<std::string> operands;

  bool Has(const std::string& option) const { return flags.count(option) || values.count(option); }
  std::string Value(const std::string& option) const;
};

// Parses args (without the program name) under the program's rules. Fails with a one-line
// reason for an unknown command or option, a missing, empty (--directory) or unexpected value,
// an option given twice when the rules refuse it, a missing command when they require one, or
// a wrong number of operands. With help the operands are not counted.
[[nodiscard]] bool ParseCommandLine(const std::vector<std::string>& args,
                                    const std::vector<CommandDefinition>& commands,
                                    const CommandLineRules& rules, CommandLine* out,
                                    std::string* error);

}  // namespace tessary
