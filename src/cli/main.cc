// tessary on the command line: see tessary_cli.h.
#include <unistd.h>

#include <iostream>

#include "cli/terminal_progress_host.h"
#include "cli/tessary_cli.h"
#include "directory/ds/ldap/libldap_configuration.h"

int main(int argc, char** argv) {
  // While no other thread runs: it briefly leaves the working folder.
  tessary::ds::ldap::LoadLibldapConfiguration();
  tessary::cli::TerminalProgressHost progress(std::cerr, isatty(STDERR_FILENO) == 1);
  tessary::cli::Console console{std::cout, std::cerr, progress};
  return tessary::cli::RunTessary(std::vector<std::string>(argv + 1, argv + argc), console);
}
