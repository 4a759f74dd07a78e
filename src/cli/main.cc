// tessary on the command line: see tessary_cli.h.
#include <unistd.h>

#include <iostream>

#include "cli/terminal_progress_host.h"
#include "cli/tessary_cli.h"
#include "directory/ds/ldap/libldap_configuration.h"
#include "gui/display.h"
#include "gui/qt_face.h"

int main(int argc, char** argv) {
  // While no other thread runs: it briefly leaves the working folder.
  tessary::ds::ldap::LoadLibldapConfiguration();
  const std::vector<std::string> args(argv + 1, argv + argc);
  // The wizard on the desktop; without a display, and for every command, the terminal.
  if (tessary::gui::HasDisplay() && tessary::cli::StartsWizard(args)) {
    tessary::gui::QtFace face("Tessary");
    tessary::cli::Console console{std::cout, std::cerr, face.Progress()};
    return tessary::cli::RunTessary(args, console);
  }
  tessary::cli::TerminalProgressHost progress(std::cerr, isatty(STDERR_FILENO) == 1);
  tessary::cli::Console console{std::cout, std::cerr, progress};
  return tessary::cli::RunTessary(args, console);
}
