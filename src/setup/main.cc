// setup: installs the product that the install script beside it describes.
#include <unistd.h>

#include <iostream>
#include <string>

#include "gui/setup_face.h"
#include "platform/ui/display.h"
#include "setup/command_line.h"
#include "setup/setup_app.h"
#include "setup/terminal_progress_host.h"
#include "setup/terminal_ui_host.h"

int main(int argc, char** argv) {
  std::string command_line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) command_line += ' ';
    command_line += argv[i];
  }
  if (tessary::setup::AsksForUsage(command_line)) {
    std::cout << tessary::setup::UsageText();
    return 0;
  }
  // A silent run is unattended: it asks nobody, even at a terminal.
  const tessary::setup::CommandLine line = tessary::setup::ParseCommandLine(command_line);
  using Switch = tessary::setup::CommandLine::Switch;
  const bool unattended = line.which == Switch::kSilent || line.which == Switch::kBase ||
                          (line.which == Switch::kConfigs && line.configs.silent);
  // Someone at a desktop gets the window; without a display setup stays a terminal program.
  if (!unattended && tessary::platform::HasDisplay()) return tessary::gui::RunSetupFace(command_line);
  tessary::setup::TerminalUiHost host;
  host.SetUnattended(unattended);
  // Progress lines only for someone watching a terminal.
  tessary::setup::TerminalProgressHost progress(std::cerr);
  const bool watched = !unattended && isatty(STDERR_FILENO);
  tessary::platform::SetUiHost(&host);
  const int status = tessary::setup::CSetupApp(watched ? &progress : nullptr).Run(command_line);
  tessary::platform::SetUiHost(nullptr);
  return status;
}
