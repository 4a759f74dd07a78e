#pragma once
// The command line of tessary: global options, one subcommand, then the subcommand's options
// and operands, each subcommand listing what it takes. Options are "--name value" or
// "--name=value"; "--" ends them.

#include <map>
#include <set>
#include <string>
#include <vector>

namespace tessary::cli {

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

struct CommandLine {
  std::string directory;  // --directory; empty when not given
  bool help = false;      // --help or -h anywhere
  bool version = false;   // --version before the command
  std::string command;
  std::map<std::string, std::string> values;  // options that take a value
  std::set<std::string> flags;                // options that do not
  std::vector<std::string> operands;

  bool Has(const std::string& option) const { return flags.count(option) || values.count(option); }
  std::string Value(const std::string& option) const;
};

// Parses args (without the program name). Fails with a one-line reason for an unknown command
// or option, a missing or unexpected value, an option given twice, or a wrong number of
// operands. With --help the operands are not counted.
[[nodiscard]] bool ParseCommandLine(const std::vector<std::string>& args,
                                    const std::vector<CommandDefinition>& commands, CommandLine* out,
                                    std::string* error);

}  // namespace tessary::cli
