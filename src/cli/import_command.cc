// The import subcommand: the wizard's import pages as options, then the engine's file check,
// line validation and run, exactly as the wizard calls them.
#include "cli/commands.h"
#include "cli/session.h"
#include "cli/terminal_progress_host.h"
#include "import/domain_import_directory.h"
#include "import/import_engine.h"
#include "support/bvk_file_util.h"
#include "support/settings_store.h"

namespace tessary::cli {
namespace {

// The engine's choices from the options alone, whatever the settings store holds: each option
// left out takes the wizard's initial value.
void ApplyOptions(const CommandLine& line, CImportEngine* engine) {
  engine->ImportFile = line.operands[0];
  engine->ErrorFolder = line.Has("error-folder")
                            ? CBVKFileUtil::AddTrailingSlash(line.Value("error-folder"))
                            : CurrentFolder();
  engine->CreateMailboxes = line.Has("create-mailboxes");
  engine->NewAccountDisabled = line.Has("account-disabled");
  engine->PasswordNeverExpires = line.Has("password-never-expires");
  engine->MustChangePassword = !line.Has("no-must-change-password");
  engine->MultiValueMode = line.Has("overwrite-multivalued") ? 1 : 0;
  engine->UndoFile = line.Has("undo-file") ? line.Value("undo-file") : std::string();
  engine->AccountLocked = engine->AccountHomeDir = false;
  engine->PasswordNotRequired = engine->PasswordCannotChange = engine->PasswordExpired = false;
  engine->RememberImportFile = engine->RememberErrorFolder = false;
}

}  // namespace

int RunImport(const CommandLine& line, Console& console) {
  Session session;
  std::string error;
  if (!session.Connect(line.directory, &error)) {
    console.err << error << "\n";
    return kExitCouldNotRun;
  }
  DomainImportDirectory directory(session.Domain());
  CImportEngine engine(&directory, SystemClock(), CImportEngine::StoredChoices::kIgnore);
  ApplyOptions(line, &engine);
  if (!engine.CheckImportFile() || !engine.ValidateImportLines()) {
    console.err << engine.Error().Text() << "\n";
    return kExitCouldNotRun;
  }
  CBVKFileUtil files;
  if (!files.CreateFolder(engine.ErrorFolder)) {
    console.err << files.Error().Text() << "\n";
    return kExitCouldNotRun;
  }

  const int interrupts = TerminalProgressHost::Interrupts();
  if (engine.RunWithProgress(console.progress, nullptr) != 1) {
    console.err << engine.Error().Text() << "\n";
    return kExitCouldNotRun;
  }
  console.out << engine.Error().Text() << "\n";
  if (TerminalProgressHost::Interrupts() > interrupts) return kExitInterrupted;
  return engine.ErrorCount > 0 ? kExitEntriesFailed : kExitOk;
}

}  // namespace tessary::cli
