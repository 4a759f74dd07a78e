// The import subcommand: the wizard's import pages as options, then the engine's file check,
// line validation and run, exactly as the wizard calls them.
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/directory_location.h"
#include "cli/session.h"
#include "cli/terminal_progress_host.h"
#include "directory/ds/embedded/embedded_directory.h"
#include "directory/ds/open_directory.h"
#include "import/domain_import_directory.h"
#include "import/import_change_set.h"
#include "import/import_engine.h"
#include "import/rehearsal_source.h"
#include "platform/interrupt.h"
#include "platform/special_folders.h"
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

// The checks and the run on the connected directory; the exit status.
int CheckAndRun(const CommandLine& line, Session& session, Console& console,
                const std::function<void(CImportEngine&)>& prepare,
                const std::function<bool(CImportEngine&)>& report) {
  DomainImportDirectory directory(session.Domain());
  CImportEngine engine(&directory, SystemClock(), CImportEngine::StoredChoices::kIgnore);
  ApplyOptions(line, &engine);
  prepare(engine);
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
  if (!report(engine)) return kExitCouldNotRun;
  if (TerminalProgressHost::Interrupts() > interrupts) return kExitInterrupted;
  return engine.ErrorCount > 0 ? kExitEntriesFailed : kExitOk;
}

// Removes the rehearsal's private folder, with the copy of the directory in it, on every way out.
class RehearsalFolder {
 public:
  explicit RehearsalFolder(std::string path) : path_(std::move(path)) {}
  ~RehearsalFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  RehearsalFolder(const RehearsalFolder&) = delete;
  RehearsalFolder& operator=(const RehearsalFolder&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// The rehearsal's private folder, made only once the copy is about to begin and under the
// interrupt catcher: a Ctrl-C while the server is still being reached ends the process with
// nothing left behind in the temporary folder. Null when the message is printed.
std::unique_ptr<RehearsalFolder> MakeRehearsalFolder(Console& console) {
  const std::optional<std::string> folder =
      platform::MakePrivateTemporaryFolder("tessary-rehearsal-");
  if (folder) return std::make_unique<RehearsalFolder>(*folder);
  console.err << "Could not create a folder for the rehearsal in '" << platform::TemporaryFolder()
              << "'.\n";
  return nullptr;
}

std::string CopyPath(const RehearsalFolder& folder) { return folder.Path() + "directory.db"; }

// The directory a rehearsal runs on, in a private folder: the embedded directory's file copied
// whole, or what the import file touches on a server read into a new embedded directory, with
// the sentences that say where that copy may behave otherwise than the server. Only reads reach
// the location either way. Null when the message is printed.
std::unique_ptr<RehearsalFolder> MakeRehearsalCopy(const CommandLine& line,
                                                   const std::string& location, Console& console,
                                                   std::vector<std::string>* caveats) {
  std::string error;
  if (!ds::IsLdapLocation(location)) {
    platform::ScopedInterruptCatcher interrupt;
    std::unique_ptr<RehearsalFolder> scratch = MakeRehearsalFolder(console);
    if (!scratch) return nullptr;
    if (!ds::embedded::CopyEmbeddedDirectory(location, CopyPath(*scratch), &error)) {
      console.err << error << "\n";
      return nullptr;
    }
    if (!platform::InterruptRequested()) return scratch;
    console.err << kRehearsalCancelled << "\n";
    return nullptr;
  }
  Session server;
  if (!server.Connect(line.directory, &error)) {
    console.err << error << "\n";
    return nullptr;
  }
  // The file is checked against the server's schema, as the real run checks it.
  DomainImportDirectory directory(server.Domain());
  CImportEngine engine(&directory, SystemClock(), CImportEngine::StoredChoices::kIgnore);
  ApplyOptions(line, &engine);
  if (!engine.CheckImportFile() || !engine.ValidateImportLines()) {
    console.err << engine.Error().Text() << "\n";
    return nullptr;
  }
  RehearsalSource source(server.Directory(), engine);
  CBVKError failure;
  // Ctrl-C must not end the process with the server's objects left in the temporary folder.
  platform::ScopedInterruptCatcher interrupt;
  std::unique_ptr<RehearsalFolder> scratch = MakeRehearsalFolder(console);
  if (!scratch) return nullptr;
  if (!source.CopyTo(CopyPath(*scratch), failure)) {
    console.err << failure.Text() << "\n";
    return nullptr;
  }
  *caveats = source.Caveats();
  return scratch;
}

// The import on a copy of the directory: the change set, the counts and the failures a real
// run would give, and the directory itself never written.
int Rehearse(const CommandLine& line, Console& console) {
  const std::string location = ChooseDirectoryLocation(line.directory);
  std::vector<std::string> caveats;
  const std::unique_ptr<RehearsalFolder> scratch =
      MakeRehearsalCopy(line, location, console, &caveats);
  if (!scratch) return platform::InterruptRequested() ? kExitInterrupted : kExitCouldNotRun;
  std::string error;
  Session session;
  if (!session.Connect(CopyPath(*scratch), &error)) {
    console.err << error << "\n";
    return kExitCouldNotRun;
  }
  const auto prepare = [&](CImportEngine& engine) {
    // Nothing of the rehearsal stays behind: its error file, undo file and log are the copy's.
    engine.ErrorFolder = scratch->Path();
    engine.DataFolder = scratch->Path();
    engine.UndoFile = scratch->Path() + "undo.csv";
    engine.KeepRecords = true;
  };
  const auto report = [&](CImportEngine& engine) {
    DomainImportDirectory directory(session.Domain());
    std::vector<ImportChange> changes;
    CBVKError failure;
    if (!BuildChangeSet(*engine.RunRecord(), directory, &changes, failure)) {
      console.err << failure.Text() << "\n";
      return false;
    }
    for (const std::string& text : ChangeSetText(changes)) console.out << text << "\n";
    console.out << "\nRehearsal of import file '" << engine.ImportFile
                << "': nothing was changed.\n\n"
                << engine.DeleteCount << " 'delete' entries would be processed.\n"
                << engine.CreateCount << " 'create' entries would be processed.\n"
                << engine.ModifyCount << " 'modify' entries would be processed.\n"
                << engine.ErrorCount << " errors would occur.\n";
    for (const std::string& caveat : caveats) console.out << "Caveat: " << caveat << "\n";
    if (!line.Has("rehearse-report")) return true;
    CBVKFileUtil files;
    if (!files.WriteLines(line.Value("rehearse-report"), ChangeSetReport(changes),
                          CBVKFileUtil::Overwrite::Yes)) {
      console.err << files.Error().Text() << "\n";
      return false;
    }
    return true;
  };
  return CheckAndRun(line, session, console, prepare, report);
}

}  // namespace

int RunImport(const CommandLine& line, Console& console) {
  if (line.Has("rehearse")) return Rehearse(line, console);
  Session session;
  std::string error;
  if (!session.Connect(line.directory, &error)) {
    console.err << error << "\n";
    return kExitCouldNotRun;
  }
  const auto print_summary = [&console](CImportEngine& engine) {
    console.out << engine.Error().Text() << "\n";
    return true;
  };
  return CheckAndRun(
      line, session, console, [](CImportEngine&) {}, print_summary);
}

}  // namespace tessary::cli
