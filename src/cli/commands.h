#pragma once
// The subcommands of tessary; each returns the exit status (tessary_cli.h).

#include "cli/tessary_cli.h"
#include "support/command_line.h"

namespace tessary::cli {

// export --class NAME --container DN [--subcontainers] [--attributes a,b] --output FILE
int RunExport(const CommandLine& line, Console& console);
// header --class NAME [--attributes a,b] --output FILE
int RunHeader(const CommandLine& line, Console& console);
// import FILE [--error-folder DIR] [--overwrite-multivalued] [--create-mailboxes]
//   [--account-disabled] [--password-never-expires] [--no-must-change-password]
//   [--undo-file UNDO]
int RunImport(const CommandLine& line, Console& console);

// No command: the wizard, on the UI host the program installed (a display's). Without one it
// says that the wizard needs a display.
int RunWizard(const CommandLine& line, Console& console);

// Says which required options are missing; false when one is.
[[nodiscard]] bool RequireOptions(const CommandLine& line, const std::vector<const char*>& names,
                                  std::ostream& err);

}  // namespace tessary::cli
