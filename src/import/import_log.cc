// The two traces of a run: the error file (each failed entry with its message, importable again)
// and the operations log, which keeps at most one day and 300 KB.
#include <algorithm>
#include <cstdint>
#include <ctime>

#include "import/import_engine.h"
#include "import/split_values.h"
#include "platform/ui/ui_host.h"

namespace tessary {
namespace {

constexpr const char* kLogName = "TY - General Operations.log";
constexpr std::uint64_t kLogSizeLimit = 307200;

int DayOfMonth(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  return local.tm_mday;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

}  // namespace

std::string CImportEngine::OperationsLogPath() const { return DataFolder + kLogName; }

void CImportEngine::WriteLog(const std::string& text, const std::string& path) {
  CBVKFileUtil files;
  const std::time_t now = clock_.Now();
  std::string target = path;
  if (target.empty()) {
    target = OperationsLogPath();
    bool exists = false;
    std::uint64_t size = 0;
    std::time_t last_write = 0;
    if (files.Exists(target, &exists) && exists) {
      if (files.GetFileSize(target, &size) && size > kLogSizeLimit) {
        (void)files.Delete(target);
      } else if (files.GetFileInfo(target, &last_write) &&
                 DayOfMonth(last_write) != DayOfMonth(now)) {
        (void)files.Delete(target);
      }
    }
  }
  std::string stamp;
  if (run_formats_) {
    std::tm local{};
    localtime_r(&now, &local);
    stamp = run_formats_->FormatDate(local) + " " + run_formats_->FormatTime(local);
  } else {
    stamp = FormatDateTime(now);
  }
  (void)files.AppendLine(target, stamp + ": " + ReplaceAll(text, "\n", "; "));
}

std::string CImportEngine::BuildErrorFilePath(int number) const {
  std::string stamp = FormatDateTime(clock_.Now());
  for (char& c : stamp) {
    if (std::string_view("/\\:*?\"><|").find(c) != std::string_view::npos) c = ' ';
  }
  const std::size_t first = stamp.find_first_not_of(' ');
  stamp = first == std::string::npos ? ""
                                     : stamp.substr(first, stamp.find_last_not_of(' ') - first + 1);
  const std::string counted = number > 1 ? " (" + std::to_string(number) + ")" : "";
  return ErrorFolder + "Errors - " + stamp + counted + ".csv";
}

bool CImportEngine::ReserveErrorFile() {
  // Runs that start in the same second would otherwise share one file, and the later run's
  // entries would stand under the earlier run's header. Creating the file exclusively claims
  // the name even against another program, and proves before anything is applied that failures
  // can be recorded.
  constexpr int kMaxNumber = 1000;
  constexpr std::uint32_t kFileExists = 80;
  bool created = false;
  for (int number = 1; number <= kMaxNumber && !created; ++number) {
    ErrorFilePath = BuildErrorFilePath(number);
    bool taken = false;
    if (!file_util_.CreateNewFile(ErrorFilePath, &taken)) {
      error_.SetText(file_util_.Error().Text());
      break;
    }
    created = !taken;
    if (taken && number == kMaxNumber) {
      error_.SetText("Could not create the file '" + ErrorFilePath + "'.");
      error_.SetSystemError(kFileExists);
    }
  }
  if (created) return true;
  error_.AddLine(
      "Nothing was imported, because the entries that fail could not be recorded. Choose an "
      "error folder that can be written.");
  return false;
}

void CImportEngine::ReleaseUnusedErrorFile() {
  // The reserved file stays only when an entry failed, as a run without failures leaves none.
  std::uint64_t size = 0;
  if (file_util_.GetFileSize(ErrorFilePath, &size) && size == 0) {
    (void)file_util_.Delete(ErrorFilePath);
  }
}

bool CImportEngine::AppendErrorFileLine(const std::string& line) {
  // The entries' password values make the file private to its owner.
  while (!file_util_.AppendLine(ErrorFilePath, line, CBVKFileUtil::Access::kOwnerOnly)) {
    if (file_util_.Error().AskRetry() != platform::kIdRetry) {
      error_.SetText(file_util_.Error().Text());
      return false;
    }
  }
  return true;
}

bool CImportEngine::WriteErrorLine(const std::string& message, const EntryValues& entry) {
  if (undo_) undo_->EntryFailed(message);
  bool exists = false;
  if (!file_util_.Exists(ErrorFilePath, &exists)) {
    error_.SetText(file_util_.Error().Text());
    return false;
  }
  // The file the run reserved is empty until its first failure.
  std::uint64_t size = 0;
  const bool started = exists && file_util_.GetFileSize(ErrorFilePath, &size) && size > 0;
  // An error file imported again already ends with its "Error" column.
  if (!started && !AppendErrorFileLine(has_error_column_ ? HeaderLine : HeaderLine + ",Error")) {
    return false;
  }
  std::string one_line = message;
  std::replace(one_line.begin(), one_line.end(), '\n', ' ');
  std::replace(one_line.begin(), one_line.end(), '\r', ' ');
  // Doubled, a quote in the message cannot end its field early when the file is read again.
  one_line = ReplaceAll(one_line, "\"", "\"\"");
  return AppendErrorFileLine(JoinValues(entry) + ",\"" + one_line + "\"");
}

}  // namespace tessary
