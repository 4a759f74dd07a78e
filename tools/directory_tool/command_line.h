#pragma once
// The command line of tessary-directory: global options, then one command with its own options
// and operands. A small table-driven parser: each command lists the options it takes.

#include <map>
#include <set>
#include <string>
#include <vector>

namespace tessary::tools {

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
  bool help = false;      // --help or -h anywhere, or the command "help"
  std::string command;
  std::map<std::string, std::string> values;  // options that take a value
  std::set<std::string> flags;                // options that do not
  std::vector<std::string> operands;

  bool Has(const std::string& option) const { return flags.count(option) || values.count(option); }
  std::string Value(const std::string& option) const {
    auto it = values.find(option);
    return it == values.end() ? std::string() : it->second;
  }
};

// Parses args (without the program name). Options are "--name value" or "--name=value"; "--"
// ends them. Fails with a one-line reason for an unknown command or option, a missing or
// unexpected value, or a wrong number of operands.
[[nodiscard]] bool ParseCommandLine(const std::vector<std::string>& args,
                                    const std::vector<CommandDefinition>& commands, CommandLine* out,
                                    std::string* error);

}  // namespace tessary::tools
