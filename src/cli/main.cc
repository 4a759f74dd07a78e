// tessary on the command line: see tessary_cli.h.
#include <unistd.h>

#include <iostream>

#include "cli/terminal_progress_host.h"
#include "cli/tessary_cli.h"
#include "cli/wizard_program.h"
#include "directory/ds/ldap/libldap_configuration.h"
#include "platform/ui/display.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  // The wizard on the desktop is a program of its own; without a display, and for every
  // command, the terminal.
  if (tessary::cli::StartsWizard(args) && tessary::platform::HasDisplay()) {
    std::string error;
    tessary::cli::StartWizardProgram(argv, &error);
    std::cerr << "tessary: the wizard could not be started: " << error
              << "\nWithout it, use a command. Try 'tessary --help'.\n";
    return tessary::cli::kExitCouldNotRun;
  }
  // While no other thread runs: it briefly leaves the working folder.
  tessary::ds::ldap::LoadLibldapConfiguration();
  tessary::cli::TerminalProgressHost progress(std::cerr, isatty(STDERR_FILENO) == 1);
  tessary::cli::Console console{std::cout, std::cerr, progress};
  return tessary::cli::RunTessary(args, console);
}
