// The import run: every entry of the file in turn, dispatched by its mode, with the summary.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "import/import_engine.h"
#include "import/split_values.h"
#include "support/bvk_progress_dlg.h"

namespace tessary {
namespace {

// While the directory is waited for, the status line says so and Cancel ends the wait.
class ProgressServerWait final : public ds::ServerWait {
 public:
  explicit ProgressServerWait(CBVKProgressDlg& dialog) : dialog_(dialog) {}

  // Each entry begins with its own status, whatever a wait before it left on the line.
  void SetStatus(const std::string& status) {
    status_ = status;
    waiting_ = false;
    dialog_.SetStatusText(status);
  }
  bool Waiting() override {
    if (!waiting_) dialog_.SetStatusText("Waiting for the directory...");
    waiting_ = true;
    return !dialog_.IsCancelled();
  }
  void Resumed() override {
    waiting_ = false;
    dialog_.SetStatusText(status_);
  }

 private:
  CBVKProgressDlg& dialog_;
  std::string status_;
  bool waiting_ = false;
};

// Keeps the directory's observer set for the run's duration.
class ServerWaitScope {
 public:
  ServerWaitScope(ImportDirectory* directory, ds::ServerWait* wait) : directory_(directory) {
    if (directory_ != nullptr) directory_->SetServerWait(wait);
  }
  ~ServerWaitScope() {
    if (directory_ != nullptr) directory_->SetServerWait(nullptr);
  }
  ServerWaitScope(const ServerWaitScope&) = delete;
  ServerWaitScope& operator=(const ServerWaitScope&) = delete;

 private:
  ImportDirectory* directory_;
};

}  // namespace

std::int32_t CImportEngine::ImportWork(CBVKProgressDlg& dialog) {
  CImportEngine* engine = dialog.Parameter<CImportEngine>(kParameterKey);
  return engine ? engine->RunImport(dialog) : 0;
}

std::int32_t CImportEngine::RunWithProgress(platform::ProgressHost& host,
                                            const platform::Window* parent) {
  CBVKProgressDlg::ParameterMap parameters = {{kParameterKey, this}};
  auto dialog = std::make_unique<CBVKProgressDlg>(host, parent, kProgressTemplateId,
                                                  CBVKProgressDlg::kProgressBarId, kStatusId);
  dialog->SetAnimationResource(kAnimationClipId);
  dialog->SetParameters(&parameters);
  dialog->SetWorkFunction(&CImportEngine::ImportWork);
  return CBVKProgressDlg::Run(std::move(dialog));
}

std::int32_t CImportEngine::RunImport(CBVKProgressDlg& dialog) {
  run_formats_ = DateTimeFormats::FromRegistry();
  const std::int32_t result = Run(dialog);
  run_formats_.reset();
  return result;
}

std::int32_t CImportEngine::Run(CBVKProgressDlg& dialog) {
  WriteLog("---------------------------------------");
  WriteLog("Beginning Import...");
  WriteLog("Import file: " + ImportFile);
  seen_objects_.clear();
  if (stored_choices_ == StoredChoices::kLoadAndSave) SaveImportSettings();
  ErrorCount = 0;
  int deleted = 0;
  int created = 0;
  int modified = 0;

  std::vector<std::string> lines;
  if (!ReadImportLines(&lines)) {
    WriteLog(error_.Text());
    return 0;
  }
  WriteLog("Text encoding: " + std::string(TextEncodingName(import_encoding_)));
  if (!ReserveErrorFile()) {
    WriteLog(error_.Text());
    return 0;
  }
  HeaderLine = lines.empty() ? std::string() : lines.front();
  std::vector<std::string> header;
  SplitValues(HeaderLine, kLineSeparator, header);
  NoteErrorColumn(&header);

  if (!BeginUndo(lines)) {
    WriteLog(error_.Text());
    ReleaseUnusedErrorFile();
    return 0;
  }

  const int count = lines.empty() ? 0 : static_cast<int>(lines.size()) - 1;
  dialog.SetRange(count, 1);
  ProgressServerWait server_wait(dialog);
  ServerWaitScope wait_scope(domain_, &server_wait);
  for (int i = 1; i <= count; ++i) {
    const std::string status =
        "Processing " + std::to_string(i) + " of " + std::to_string(count) + "...";
    server_wait.SetStatus(status);
    if (!dialog.StepProgress(1)) {
      WriteLog("Operation cancelled by user");
      break;
    }
    WriteLog(status);
    entry_number_ = i;
    const EntryValues entry = SplitEntry(lines[i]);
    if (undo_) undo_->SetEntry(i, entry);
    const std::string mode = UpperCase(EntryMode(entry));
    bool written = true;
    if (mode == "MOVE") {
      written = MoveEntry(entry, &modified, &ErrorCount);
    } else if (mode == "DELETE") {
      written = DeleteEntry(entry, &deleted, &ErrorCount);
    } else if (mode == "CREATE") {
      written = CreateEntry(entry, &created, &ErrorCount);
    } else if (mode == "MODIFY") {
      written = ModifyEntry(entry, &modified, &ErrorCount);
    } else {
      const char* message =
          mode.empty() ? "No mode was specified."
                       : "Unspecified action!  Please specify 'Move', 'Modify', 'Create' or "
                         "'Delete' in the 'mode' column.";
      if (mode.empty()) WriteLog(message);
      written = WriteErrorLine(message, entry);
      if (written) ++ErrorCount;
    }
    if (!written) {
      ReleaseUnusedErrorFile();
      return 0;
    }
  }
  ReleaseUnusedErrorFile();

  std::string summary = std::to_string(deleted) + " 'delete' entries were processed.\n" +
                        std::to_string(created) + " 'create' entries were processed.\n" +
                        std::to_string(modified) + " 'modify' entries were processed.\n" +
                        std::to_string(ErrorCount) + " errors occurred.";
  if (ErrorCount >= 1) summary += "\n\nError file: " + ErrorFilePath;
  if (undo_) summary += undo_->SummaryText();
  DeleteCount = deleted;
  CreateCount = created;
  ModifyCount = modified;
  error_.SetText("Processing of import file '" + ImportFile + "' has completed.\n\n" + summary);
  WriteLog(error_.Text());
  return 1;
}

bool CImportEngine::BeginUndo(const std::vector<std::string>& lines) {
  undo_.reset();
  if (UndoFile.empty()) return true;
  std::vector<std::string> modes;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    modes.push_back(UpperCase(EntryMode(SplitEntry(lines[i]))));
  }
  auto undo = std::make_unique<ImportUndo>(
      *domain_, columns_, modes,
      KeepRecords ? ImportUndo::Rehearsal::kYes : ImportUndo::Rehearsal::kNo);
  if (!undo->Begin(UndoFile, error_)) return false;
  undo_ = std::move(undo);
  return true;
}

}  // namespace tessary
