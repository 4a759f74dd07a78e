// The export and header subcommands: the options become a CExportJob, which the wizard fills
// from its pages; the command line keeps no choices, so nothing is saved before the run.
#include "cli/commands.h"
#include "cli/session.h"
#include "cli/terminal_progress_host.h"
#include "export/export_job.h"

namespace tessary::cli {

bool RequireOptions(const CommandLine& line, const std::vector<const char*>& names,
                    std::ostream& err) {
  for (const char* name : names) {
    if (line.Value(name).empty()) {
      err << "tessary: '" << line.command << "' needs --" << name << "\nTry 'tessary "
          << line.command << " --help'.\n";
      return false;
    }
  }
  return true;
}

int RunExport(const CommandLine& line, Console& console) {
  if (!RequireOptions(line, {"class", "container", "output"}, console.err)) {
    return kExitCouldNotRun;
  }
  Session session;
  std::string error;
  CBVKADObject* container = nullptr;
  std::vector<std::string> attributes;
  if (!session.Connect(line.directory, &error) ||
      !session.CheckClass(line.Value("class"), &error) ||
      !session.ResolveAttributes(line.Value("attributes"), &attributes, &error) ||
      !session.ResolveContainer(line.Value("container"), &container, &error)) {
    console.err << error << "\n";
    return kExitCouldNotRun;
  }
  CExportJob job(session.Domain());
  job.ClassName = line.Value("class");
  job.Container = container;
  job.IncludeSubcontainers = line.Has("subcontainers");
  job.OutputFile = line.Value("output");
  job.Attributes = attributes;
  const int interrupts = TerminalProgressHost::Interrupts();
  // A failure was shown (on standard error) by the run itself.
  if (job.RunWithProgress(console.progress, nullptr) != 1) return kExitCouldNotRun;
  console.out << job.Error().Text() << "\n";
  return TerminalProgressHost::Interrupts() > interrupts ? kExitInterrupted : kExitOk;
}

int RunHeader(const CommandLine& line, Console& console) {
  if (!RequireOptions(line, {"class", "output"}, console.err)) return kExitCouldNotRun;
  Session session;
  std::string error;
  std::vector<std::string> attributes;
  if (!session.Connect(line.directory, &error) ||
      !session.CheckClass(line.Value("class"), &error) ||
      !session.ResolveAttributes(line.Value("attributes"), &attributes, &error)) {
    console.err << error << "\n";
    return kExitCouldNotRun;
  }
  CExportJob job(session.Domain());
  job.ClassName = line.Value("class");
  job.OutputFile = line.Value("output");
  job.Attributes = attributes;
  if (job.WriteHeaderFile() != 1) return kExitCouldNotRun;
  console.out << job.Error().Text() << "\n";
  return kExitOk;
}

}  // namespace tessary::cli
