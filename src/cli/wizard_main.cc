// tessary-wizard: the wizard on the desktop, started by `tessary` without a command when the
// session has a display. Only this program of the command line loads the window libraries.
#include <iostream>

#include "cli/tessary_cli.h"
#include "directory/ds/ldap/libldap_configuration.h"
#include "gui/qt_face.h"

int main(int argc, char** argv) {
  // While no other thread runs: it briefly leaves the working folder.
  tessary::ds::ldap::LoadLibldapConfiguration();
  const std::vector<std::string> args(argv + 1, argv + argc);
  tessary::gui::QtFace face("Tessary");
  tessary::cli::Console console{std::cout, std::cerr, face.Progress()};
  return tessary::cli::RunTessary(args, console);
}
