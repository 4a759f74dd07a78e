#include "cli/command_line.h"

#include <algorithm>

namespace tessary::cli {
namespace {

// Splits "--name=value" into name and value; "--name" gives no value.
void SplitOption(const std::string& arg, std::string* name, std::string* value, bool* has_value) {
  const std::string body = arg.substr(2);
  const std::size_t equals = body.find('=');
  *has_value = equals != std::string::npos;
  *name = body.substr(0, equals);
  *value = *has_value ? body.substr(equals + 1) : std::string();
}

}  // namespace

std::string CommandLine::Value(const std::string& option) const {
  auto it = values.find(option);
  return it == values.end() ? std::string() : it->second;
}

bool ParseCommandLine(const std::vector<std::string>& args,
                      const std::vector<CommandDefinition>& commands, CommandLine* out,
                      std::string* error) {
  *out = CommandLine();
  std::size_t i = 0;
  // Global options, up to the command.
  for (; i < args.size() && args[i].starts_with("-"); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      out->help = true;
    } else if (arg == "--version") {
      out->version = true;
    } else if (arg == "--directory" || arg.starts_with("--directory=")) {
      if (arg == "--directory") {
        if (++i == args.size()) {
          *error = "the option '--directory' needs a value";
          return false;
        }
        out->directory = args[i];
      } else {
        out->directory = arg.substr(std::string("--directory=").size());
      }
      if (out->directory.empty()) {
        *error = "the option '--directory' needs a value";
        return false;
      }
    } else {
      *error = "unknown option '" + arg + "'";
      return false;
    }
  }
  if (i == args.size()) return true;  // no command: help or version, or the caller's usage

  out->command = args[i++];
  auto definition = std::find_if(commands.begin(), commands.end(),
                           [&](const CommandDefinition& c) { return out->command == c.name; });
  if (definition == commands.end()) {
    *error = "unknown command '" + out->command + "'";
    return false;
  }
  bool options_ended = false;
  for (; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_ended || !arg.starts_with("-") || arg == "-") {
      out->operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      out->help = true;
      continue;
    }
    if (!arg.starts_with("--")) {
      *error = "unknown option '" + arg + "' for '" + out->command + "'";
      return false;
    }
    std::string name, value;
    bool has_value = false;
    SplitOption(arg, &name, &value, &has_value);
    auto option = std::find_if(definition->options.begin(), definition->options.end(),
                               [&](const OptionSpec& o) { return name == o.name; });
    if (option == definition->options.end()) {
      *error = "unknown option '--" + name + "' for '" + out->command + "'";
      return false;
    }
    if (out->Has(name)) {
      *error = "the option '--" + name + "' is given twice";
      return false;
    }
    if (!option->takes_value) {
      if (has_value) {
        *error = "the option '--" + name + "' takes no value";
        return false;
      }
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
    out->values[name] = value;
  }
  if (out->help) return true;
  const int count = static_cast<int>(out->operands.size());
  if (count < definition->min_operands) {
    *error = "'" + out->command + "' needs " +
             (definition->min_operands == 1 ? std::string("a file") : "more operands");
    return false;
  }
  if (count > definition->max_operands) {
    *error =
        "unexpected operand '" + out->operands[definition->max_operands] + "' for '" + out->command + "'";
    return false;
  }
  return true;
}

}  // namespace tessary::cli
