#include "command_line.h"

#include <algorithm>

namespace tessary::tools {
namespace {

// Splits "--name=value"; value_given tells whether '=' was there.
void SplitOption(const std::string& arg, std::string* name, std::string* value, bool* value_given) {
  size_t equals = arg.find('=');
  *value_given = equals != std::string::npos;
  *name = arg.substr(2, *value_given ? equals - 2 : std::string::npos);
  *value = *value_given ? arg.substr(equals + 1) : std::string();
}

const OptionSpec* FindOption(const std::vector<OptionSpec>& options, const std::string& name) {
  auto it = std::find_if(options.begin(), options.end(),
                         [&](const OptionSpec& o) { return name == o.name; });
  return it == options.end() ? nullptr : &*it;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& args,
                      const std::vector<CommandDefinition>& commands, CommandLine* out,
                      std::string* error) {
  *out = CommandLine();
  static const std::vector<OptionSpec> kGlobal = {{"directory", true}, {"help", false}};
  const CommandDefinition* command = nullptr;
  bool options_ended = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!options_ended && arg == "--") {
      options_ended = true;
      continue;
    }
    if (!options_ended && arg == "-h") {
      out->help = true;
      continue;
    }
    if (options_ended || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      if (!command && arg.size() > 1 && arg[0] == '-' && !options_ended) {
        *error = "unknown option '" + arg + "'";
        return false;
      }
      if (command) {
        out->operands.push_back(arg);
        continue;
      }
      auto it = std::find_if(commands.begin(), commands.end(),
                             [&](const CommandDefinition& c) { return arg == c.name; });
      if (it == commands.end()) {
        *error = "unknown command '" + arg + "'";
        return false;
      }
      command = &*it;
      out->command = arg;
      continue;
    }
    std::string name, value;
    bool value_given = false;
    SplitOption(arg, &name, &value, &value_given);
    const OptionSpec* definition = FindOption(kGlobal, name);
    const bool global = definition != nullptr;
    if (!definition && command) definition = FindOption(command->options, name);
    if (!definition) {
      *error = command ? "the command '" + out->command + "' has no option '--" + name + "'"
                       : "unknown option '--" + name + "'";
      return false;
    }
    if (!definition->takes_value) {
      if (value_given) {
        *error = "the option '--" + name + "' takes no value";
        return false;
      }
      if (name == "help")
        out->help = true;
      else
        out->flags.insert(name);
      continue;
    }
    if (!value_given) {
      if (i + 1 >= args.size()) {
        *error = "the option '--" + name + "' needs a value";
        return false;
      }
      value = args[++i];
    }
    if (global)
      out->directory = value;
    else
      out->values[name] = value;
  }
  if (out->help || out->command == "help") {
    out->help = true;
    return true;
  }
  if (!command) {
    *error = "no command given";
    return false;
  }
  const int count = static_cast<int>(out->operands.size());
  if (count < command->min_operands) {
    *error = "the command '" + out->command + "' needs " +
             (command->min_operands == 1 ? std::string("a file") : "more operands");
    return false;
  }
  if (count > command->max_operands) {
    *error = "unexpected operand '" + out->operands[command->max_operands] + "'";
    return false;
  }
  return true;
}

}  // namespace tessary::tools
