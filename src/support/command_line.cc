#include "support/command_line.h"

#include <algorithm>

namespace tessary {
namespace {

constexpr OptionSpec kDirectory = {"directory", true};
constexpr OptionSpec kHelp = {"help", false};
constexpr OptionSpec kVersion = {"version", false};

// Splits "--name=value" into name and value; "--name" gives no value.
void SplitOption(const std::string& arg, std::string* name, std::string* value, bool* has_value) {
  const std::string body = arg.substr(2);
  const std::size_t equals = body.find('=');
  *has_value = equals != std::string::npos;
  *name = body.substr(0, equals);
  *value = *has_value ? body.substr(equals + 1) : std::string();
}

const OptionSpec* FindOption(const std::vector<OptionSpec>& options, const std::string& name) {
  auto it = std::find_if(options.begin(), options.end(),
                         [&](const OptionSpec& o) { return name == o.name; });
  return it == options.end() ? nullptr : &*it;
}

// The global option called name, when it may be given here: --help anywhere, the others
// before the command or, under global_options_anywhere, after it too.
const OptionSpec* FindGlobal(const std::string& name, bool after_command,
                             const CommandLineRules& rules) {
  if (name == kHelp.name) return &kHelp;
  if (after_command && !rules.global_options_anywhere) return nullptr;
  if (name == kDirectory.name) return &kDirectory;
  if (name == kVersion.name && rules.version_option && !after_command) return &kVersion;
  return nullptr;
}

const CommandDefinition* FindCommand(const std::vector<CommandDefinition>& commands,
                                     const CommandLineRules& rules, const std::string& name) {
  static const CommandDefinition kHelpCommand = {"help", {}, 0, 0};
  auto it = std::find_if(commands.begin(), commands.end(),
                         [&](const CommandDefinition& c) { return name == c.name; });
  if (it != commands.end()) return &*it;
  return rules.help_command && name == kHelpCommand.name ? &kHelpCommand : nullptr;
}

// text with every "{key}" replaced by its value, in one pass so that given words are never
// read as keys themselves.
std::string Fill(const std::string& text, const std::map<std::string, std::string>& values) {
  std::string filled;
  std::size_t at = 0;
  for (std::size_t open = text.find('{'); open != std::string::npos; open = text.find('{', at)) {
    const std::size_t close = text.find('}', open);
    if (close == std::string::npos) break;
    auto value = values.find(text.substr(open + 1, close - open - 1));
    filled += text.substr(at, open - at);
    filled += value == values.end() ? text.substr(open, close + 1 - open) : value->second;
    at = close + 1;
  }
  return filled + text.substr(at);
}

std::string UnknownOption(const std::string& option, const CommandDefinition* command,
                          const CommandLineRules& rules) {
  if (!command) return "unknown option '" + option + "'";
  return Fill(rules.unknown_command_option, {{"option", option}, {"command", command->name}});
}

// Checks the number of operands against the command's table entry.
bool CountOperands(const CommandLine& line, const CommandDefinition& command,
                   const CommandLineRules& rules, std::string* error) {
  const int count = static_cast<int>(line.operands.size());
  if (count < command.min_operands) {
    *error = Fill(rules.missing_operands,
                  {{"command", command.name},
                   {"needs", command.min_operands == 1 ? "a file" : "more operands"}});
    return false;
  }
  if (count > command.max_operands) {
    *error = Fill(rules.unexpected_operand,
                  {{"operand", line.operands[command.max_operands]}, {"command", command.name}});
    return false;
  }
  return true;
}

}  // namespace

std::string CommandLine::Value(const std::string& option) const {
  auto it = values.find(option);
  return it == values.end() ? std::string() : it->second;
}

bool ParseCommandLine(const std::vector<std::string>& args,
                      const std::vector<CommandDefinition>& commands, const CommandLineRules& rules,
                      CommandLine* out, std::string* error) {
  *out = CommandLine();
  const CommandDefinition* command = nullptr;
  bool options_ended = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // Where global options only lead, "-" and "--" before the command are unknown ones.
    const bool leading_options = !command && !rules.global_options_anywhere;
    if (options_ended || !arg.starts_with("-") || (arg == "-" && !leading_options)) {
      if (command) {
        out->operands.push_back(arg);
        continue;
      }
      command = FindCommand(commands, rules, arg);
      if (!command) {
        *error = "unknown command '" + arg + "'";
        return false;
      }
      out->command = arg;
      continue;
    }
    if (arg == "--" && !leading_options) {
      options_ended = true;
      continue;
    }
    if (arg == "-h") {
      out->help = true;
      continue;
    }
    if (!arg.starts_with("--") || arg == "--") {
      *error = UnknownOption(arg, command, rules);
      return false;
    }
    std::string name, value;
    bool has_value = false;
    SplitOption(arg, &name, &value, &has_value);
    const OptionSpec* option = FindGlobal(name, command != nullptr, rules);
    const bool global = option != nullptr;
    if (!option && command) option = FindOption(command->options, name);
    if (!option) {
      *error = UnknownOption("--" + name, command, rules);
      return false;
    }
    if (!global && rules.refuse_repeated_options && out->Has(name)) {
      *error = "the option '--" + name + "' is given twice";
      return false;
    }
    if (!option->takes_value) {
      if (has_value) {
        *error = "the option '--" + name + "' takes no value";
        return false;
      }
      if (option == &kHelp)
        out->help = true;
      else if (option == &kVersion)
        out->version = true;
      else
        out->flags.insert(name);
      continue;
    }
    if (!has_value) {
      if (i + 1 == args.size()) {
        *error = "the option '--" + name + "' needs a value";
        return false;
      }
      value = args[++i];
    }
    if (option != &kDirectory) {
      out->values[name] = value;
      continue;
    }
    // An empty directory (an unset shell variable) must not quietly mean the default one.
    if (value.empty()) {
      *error = "the option '--directory' needs a value";
      return false;
    }
    out->directory = value;
  }
  if (command && rules.help_command && out->command == "help") out->help = true;
  if (out->help) return true;
  if (!command) {
    if (!rules.command_required) return true;  // the caller shows its usage or version
    *error = "no command given";
    return false;
  }
  return CountOperands(*out, *command, rules, error);
}

}  // namespace tessary
