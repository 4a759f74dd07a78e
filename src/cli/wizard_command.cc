// tessary without a command: the wizard, on the directory the command line would use.
#include "app/tessary_app.h"
#include "cli/commands.h"
#include "cli/directory_location.h"
#include "platform/ui/ui_host.h"

namespace tessary::cli {

int RunWizard(const CommandLine& line, Console& console) {
  const std::string location = ChooseDirectoryLocation(line.directory);
  app::CTessaryApp application({console.progress, [location](std::unique_ptr<ds::Directory>* directory,
                                                             std::string* error) {
                                  return OpenChosenDirectory(location, directory, error);
                                }});
  if (application.Run(platform::CurrentUiHost()) == -1) {
    console.err << "tessary: the wizard needs a display; without one, use a command.\n"
                << "Try 'tessary --help'.\n";
    return kExitCouldNotRun;
  }
  return kExitOk;
}

}  // namespace tessary::cli
