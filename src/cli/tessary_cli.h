#pragma once
// The command line of tessary: a table of subcommands (export, header, import), each calling
// the same engine code as the wizard and printing the task's summary (the finish page's text)
// on standard output; every other message goes to standard error. The streams and the
// progress host are passed in, so tests capture everything.

#include <ostream>
#include <string>
#include <vector>

#include "platform/ui/progress_host.h"

namespace tessary::cli {

// Exit statuses.
inline constexpr int kExitOk = 0;             // the task completed and no entry failed
inline constexpr int kExitCouldNotRun = 2;    // bad options, failed checks, no directory...
inline constexpr int kExitEntriesFailed = 3;  // an import completed with failed entries
inline constexpr int kExitInterrupted = 130;  // Ctrl-C: cancelled, summary printed

struct Console {
  std::ostream& out;
  std::ostream& err;
  platform::ProgressHost& progress;
};

// True when the arguments name no command (nor --help or --version): tessary shows the wizard.
bool StartsWizard(const std::vector<std::string>& args);

// Runs the command line args (without the program name); returns the exit status.
int RunTessary(const std::vector<std::string>& args, Console& console);

}  // namespace tessary::cli
