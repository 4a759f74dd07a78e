#include "cli/tessary_cli.h"

#include <algorithm>

#include "cli/commands.h"
#include "cli/terminal_ui_host.h"
#include "support/command_line.h"

namespace tessary::cli {
namespace {

constexpr char kVersion[] = "tessary 0.1.0\n";

constexpr char kUsage[] =
    "usage: tessary [--directory URI|PATH] <command> [options]\n"
    "       tessary --help | --version | <command> --help\n"
    "\n"
    "Exports directory objects to comma-delimited files, writes header files for new objects,\n"
    "and imports files that create, modify, delete or move objects.\n"
    "\n"
    "Commands:\n"
    "  export   export the objects of one class from a container to a file\n"
    "  header   write a header file (the column line) for new objects of a class\n"
    "  import   check an import file and apply it to the directory\n"
    "\n"
    "--directory: ldap://host, ldaps://host or the path of an embedded directory file. Without\n"
    "it: TESSARY_DIRECTORY, the \"Directory\" value under Software\\Brenvik\\Tessary of the\n"
    "current user's registry, libldap's configured URI (ldap.conf, ~/.ldaprc, LDAPURI;\n"
    "never an ldaprc of the working folder), else\n"
    "${XDG_DATA_HOME:-~/.local/share}/brenvik/directory.db.\n"
    "\n"
    "The command line keeps no choices between runs; every choice is an option.\n"
    "Exit status: 0 the task completed without failed entries; 3 an import completed with\n"
    "failed entries (the error file is named in the summary); 2 the task could not run;\n"
    "130 interrupted by Ctrl-C (the summary of what was done is printed).\n";

// Global options lead the command; an option given twice is a mistake rather than an override.
constexpr CommandLineRules kCommandLineRules = {.version_option = true,
                                                .refuse_repeated_options = true};

struct Command {
  CommandDefinition definition;
  const char* help;
  int (*run)(const CommandLine& line, Console& console);
};

const std::vector<Command>& Commands() {
  static const std::vector<Command> kCommands = {
      {{"export",
        {{"class", true},
         {"container", true},
         {"subcontainers", false},
         {"attributes", true},
         {"output", true}},
        0,
        0},
       "usage: tessary [--directory URI|PATH] export --class NAME --container DN\n"
       "                 [--subcontainers] [--attributes a,b,...] --output FILE\n"
       "\n"
       "Writes the objects of the class NAME (its display name on the object type page:\n"
       "User, Group, Contact, Computer, Organizational-Unit or any class of the schema) found\n"
       "one level below the container DN to FILE, one line per object: distinguishedName,\n"
       "objectGUID, then the attributes named by --attributes (LDAP display names) in that\n"
       "order. --subcontainers also exports the objects of every container below DN.\n"
       "FILE is replaced. The summary is printed on standard output.\n",
       RunExport},
      {{"header", {{"class", true}, {"attributes", true}, {"output", true}}, 0, 0},
       "usage: tessary [--directory URI|PATH] header --class NAME [--attributes a,b,...]\n"
       "                 --output FILE\n"
       "\n"
       "Writes FILE with one line: distinguishedName,objectGUID and the attributes named by\n"
       "--attributes (LDAP display names), to be filled with new objects of the class NAME.\n"
       "FILE is replaced.\n"
       "\n"
       "The header alone cannot be imported. Before importing, add to the column line:\n"
       "  mode            and write Create in it on every line;\n"
       "  objectClass     unless NAME is User, and write the class's LDAP display name in\n"
       "                  it (group, contact, ...) on every line: an empty objectClass\n"
       "                  creates a user;\n"
       "  sAMAccountName  for a User or a Group, unless --attributes named it, and write\n"
       "                  each account's name in it.\n"
       "Then write each new object's distinguishedName on its line (objectGUID stays\n"
       "empty) and its values in the attributes' columns.\n",
       RunHeader},
      {{"import",
        {{"error-folder", true},
         {"overwrite-multivalued", false},
         {"create-mailboxes", false},
         {"account-disabled", false},
         {"password-never-expires", false},
         {"no-must-change-password", false},
         {"undo-file", true},
         {"rehearse", false},
         {"rehearse-report", true}},
        1,
        1},
       "usage: tessary [--directory URI|PATH] import FILE [--error-folder DIR]\n"
       "                 [--overwrite-multivalued] [--create-mailboxes] [--account-disabled]\n"
       "                 [--password-never-expires] [--no-must-change-password]\n"
       "                 [--undo-file UNDO] [--rehearse [--rehearse-report REPORT]]\n"
       "\n"
       "Checks the header line of FILE against the schema and every line's values, then\n"
       "applies each line by its mode (Create, Modify, Delete, Move). A failing line is\n"
       "written with its message to an error file in DIR (default: the current folder).\n"
       "  --overwrite-multivalued    replace the values of multi-valued attributes (default:\n"
       "                             add the file's values to the existing ones)\n"
       "  --create-mailboxes         create Exchange mailboxes for new users\n"
       "  --account-disabled         create new user accounts disabled\n"
       "  --password-never-expires   new users' passwords never expire\n"
       "  --no-must-change-password  new users need not change the password at next logon\n"
       "  --undo-file UNDO           write to the new file UNDO an import file that takes back\n"
       "                             every change of this run (import it with\n"
       "                             --overwrite-multivalued); passwords cannot be taken back\n"
       "  --rehearse                 run the import on a copy of the directory (the embedded\n"
       "                             directory's file, or what the file touches on a server, read\n"
       "                             over a connection that refuses writes) and show what each\n"
       "                             entry would change or the message it would fail with; the\n"
       "                             directory itself is never written\n"
       "  --rehearse-report REPORT   also write that change set to REPORT as comma-delimited text\n",
       RunImport},
  };
  return kCommands;
}

std::vector<CommandDefinition> Specs() {
  std::vector<CommandDefinition> definitions;
  for (const Command& command : Commands()) definitions.push_back(command.definition);
  return definitions;
}

}  // namespace

bool StartsWizard(const std::vector<std::string>& args) {
  CommandLine line;
  std::string error;
  if (!ParseCommandLine(args, Specs(), kCommandLineRules, &line, &error)) return false;
  const bool command = std::any_of(Commands().begin(), Commands().end(), [&](const Command& c) {
    return line.command == c.definition.name;
  });
  return !command && !line.help && !line.version;
}

int RunTessary(const std::vector<std::string>& args, Console& console) {
  CommandLine line;
  std::string error;
  if (!ParseCommandLine(args, Specs(), kCommandLineRules, &line, &error)) {
    console.err << "tessary: " << error << "\nTry 'tessary --help'.\n";
    return kExitCouldNotRun;
  }
  auto command = std::find_if(Commands().begin(), Commands().end(),
                              [&](const Command& c) { return line.command == c.definition.name; });
  if (line.help) {
    console.out << (command == Commands().end() ? kUsage : command->help);
    return kExitOk;
  }
  if (line.version && command == Commands().end()) {
    console.out << kVersion;
    return kExitOk;
  }
  if (command == Commands().end()) return RunWizard(line, console);
  TerminalUiHost ui(console.err);
  platform::SetUiHost(&ui);
  const int status = command->run(line, console);
  platform::SetUiHost(nullptr);
  return status;
}

}  // namespace tessary::cli
