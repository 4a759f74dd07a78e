#pragma once
// The import engine: checks an import file against the schema, then applies its entries to the
// directory one after the other (create, modify, delete into LostAndFound, move), writing each
// failing entry with its message to an error file and every step to the operations log.
// Every failing operation returns false and leaves its message in Error().

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "directory/ds/object.h"
#include "import/import_column.h"
#include "import/import_directory.h"
#include "import/import_undo.h"
#include "support/bvk_error.h"
#include "support/bvk_file_util.h"
#include "support/date_time_text.h"
#include "support/text_encoding.h"

namespace tessary {

class CBVKProgressDlg;
namespace platform {
class ProgressHost;
struct Window;
}  // namespace platform

using EntryValues = std::vector<std::string>;

// The text with its ASCII letters in upper case, as the engine compares modes, classes and DNs.
std::string UpperCase(std::string text);

class CImportEngine {
 public:
  // The key under which the wizard hands the engine to the work function.
  static constexpr const char* kParameterKey = "TY Import";
  // The run's progress template; its status is the template's one static text
  // ("Working.... please wait..."), and its animation clip.
  static constexpr int kProgressTemplateId = 201;
  static constexpr int kStatusId = -1;
  static constexpr int kAnimationClipId = 202;

  // Whether the engine takes its choices from the current user's settings and writes them back
  // when a run starts (the wizard), or leaves the settings store alone (the command line).
  enum class StoredChoices { kLoadAndSave, kIgnore };

  // Loads the import settings of the current user unless told to ignore them. domain may be
  // null until the wizard has connected; the checks and the run need it.
  explicit CImportEngine(ImportDirectory* domain, const Clock& clock = SystemClock(),
                         StoredChoices stored = StoredChoices::kLoadAndSave);

  CBVKError& Error() { return error_; }
  const CBVKError& Error() const { return error_; }
  void SetDomain(ImportDirectory* domain) { domain_ = domain; }

  // --- Settings (the wizard's pages bind to these).
  bool CreateMailboxes = false;
  std::string ImportFile;
  std::string ErrorFolder;
  bool CreatesUsers = false;
  bool PasswordsSupplied = false;
  bool NewAccountDisabled = false;
  // Loaded and saved, read by no operation.
  bool AccountLocked = false;
  bool AccountHomeDir = false;
  bool PasswordNotRequired = false;
  bool PasswordCannotChange = false;
  bool PasswordNeverExpires = false;
  bool PasswordExpired = false;
  bool MustChangePassword = true;
  // 0 appends values to multi-valued attributes, 1 replaces them.
  int MultiValueMode = 0;
  bool RememberImportFile = false;
  bool RememberErrorFolder = false;
  std::string DataFolder;
  // When not empty, the run writes the inverse of every entry it applies to this new file, an
  // import file that takes the changes back (see import_undo.h).
  std::string UndoFile;
  // With an UndoFile, also keeps what the run did to each entry (RunRecord), for a rehearsal's
  // change set; the caller runs it on a copy of the directory.
  bool KeepRecords = false;

  // --- Results of the last run, for the finish page.
  int ErrorCount = 0;
  int DeleteCount = 0;
  int CreateCount = 0;
  int ModifyCount = 0;
  std::string ErrorFilePath;
  std::string HeaderLine;

  // Reads the settings from the current user's registry; unreadable values keep defaults.
  void LoadImportSettings();
  // The choices of a freshly built wizard, before anything stored is read.
  void SetInitialChoices();
  // Writes them back; failures are silent.
  void SaveImportSettings();

  // --- The file check and the line validation, run when the import file is chosen.
  // Builds the column table from the header line and sets CreatesUsers/PasswordsSupplied;
  // fails for an unreadable or empty file, an unknown or unsupported attribute, a missing
  // mode/objectGUID/distinguishedName column, a column named twice (as the engine compares names),
  // or a container column with modes other than Move.
  [[nodiscard]] bool CheckImportFile();
  // Fails for the first entry whose value count is wrong or whose DN has no domain part.
  [[nodiscard]] bool ValidateImportLines();
  // The entries of the checked file, each as the run splits it; fails when it cannot be read.
  [[nodiscard]] bool ReadEntries(std::vector<EntryValues>* entries);

  // --- The column table.
  const std::vector<CImportColumn>& Columns() const { return columns_; }
  int FindColumn(const std::string& name) const;
  // The entry's value at the named column; empty when there is no such column or value.
  std::string GetColumnValue(const EntryValues& entry, const std::string& name) const;
  void AddColumn(const std::string& name, const std::string& admin_display_name,
                 const std::string& schema_entry_dn, int value_type, bool single_valued);
  // Replaces names by the column names in table order; returns their number.
  int GetColumnNames(std::vector<std::string>& names) const;
  // Replaces map by each column under its admin display name.
  void MapColumns(std::map<std::string, const CImportColumn*>& map) const;

  // --- The run. 1 when it reached its summary (also after a cancel), 0 when the import file
  // could not be read or the error file could not be written.
  std::int32_t RunImport(CBVKProgressDlg& dialog);
  // The progress dialog's work function: runs the engine found under kParameterKey.
  static std::int32_t ImportWork(CBVKProgressDlg& dialog);
  // Runs the import behind its progress dialog (template 201) on host; returns its result.
  std::int32_t RunWithProgress(platform::ProgressHost& host, const platform::Window* parent);

  // The undo file's record of the last run (null without UndoFile), kept until the next run.
  ImportUndo* RunRecord() { return undo_.get(); }

  // The entry handlers: true when the entry was applied (*counter rises) or its failure was
  // written to the error file (*errors rises); false only when the error file cannot be written.
  [[nodiscard]] bool CreateEntry(const EntryValues& entry, int* counter, int* errors);
  [[nodiscard]] bool ModifyEntry(const EntryValues& entry, int* counter, int* errors);
  [[nodiscard]] bool DeleteEntry(const EntryValues& entry, int* counter, int* errors);
  [[nodiscard]] bool MoveEntry(const EntryValues& entry, int* counter, int* errors);

  // The entry's object: its GUID's DN, else its distinguishedName value, normalised. Fails when
  // the GUID cannot be found or neither is given.
  [[nodiscard]] bool ResolveEntryDN(const EntryValues& entry, std::string* dn);
  // Fails when the entry's value count differs from the column count.
  [[nodiscard]] bool CheckValueCount(const EntryValues& entry);

  // --- Attribute rules.
  enum class Attempt { First, Retry };
  // Writes sAMAccountName, then every ordinary column; the first attempt commits once at the
  // end, the retry commits every value on its own so that the refused value is named.
  [[nodiscard]] bool WriteAttributes(Creating creating, ds::Object& object,
                                     const EntryValues& entry, Attempt attempt);
  [[nodiscard]] bool WriteAttribute(ds::Object& object, const CImportColumn& column,
                                    const std::string& value, Attempt attempt);
  // Puts the object into the listed groups (by DN or GUID); with MultiValueMode 1 also takes it
  // out of every other group.
  [[nodiscard]] bool SetMemberOf(const std::string& object_dn, const std::string& member_of);

  // --- Logs.
  // Appends the entry and the message to this run's error file, creating it with the header
  // line first; false when the file cannot be written and the user chose Cancel.
  [[nodiscard]] bool WriteErrorLine(const std::string& message, const EntryValues& entry);
  // Appends a time-stamped line to the operations log (or to path); failures are ignored.
  // During a run the time stamps use the regional settings read at its start.
  void WriteLog(const std::string& text, const std::string& path = {});
  // The operations log of DataFolder.
  std::string OperationsLogPath() const;

 private:
  // The run itself, with the run's time-stamp formats in place.
  std::int32_t Run(CBVKProgressDlg& dialog);
  // Reads ImportFile whole, decoded to UTF-8 (see text_encoding.h), as records: a quoted value
  // may span lines.
  bool ReadImportLines(std::vector<std::string>* lines);
  // Drops the error file's own last "Error" column from a header and remembers it.
  void NoteErrorColumn(std::vector<std::string>* header);
  // An entry line's values, without the message value of an error file's "Error" column.
  EntryValues SplitEntry(const std::string& line) const;
  std::string EntryMode(const EntryValues& entry) const;
  // Records a failed entry: true when its error line was written (*errors rises).
  bool Fail(const EntryValues& entry, int* errors);
  bool FailWith(const std::string& message, const EntryValues& entry, int* errors);
  // What a Modify entry changed before it ended, for its inverse.
  struct ModifyEffects {
    bool password = false;
    bool renamed = false;
  };
  // The steps of a Modify entry after its object is open; false with the message in the record.
  bool ApplyModify(const EntryValues& entry, const std::string& dn,
                   std::unique_ptr<ds::Object>& object, ModifyEffects* effects);
  // Opens this run's undo file when one is asked for; false with the message in the record.
  bool BeginUndo(const std::vector<std::string>& lines);
  // The duplicate rule of Create, Modify and Delete.
  bool CheckDuplicate(const std::string& dn, const EntryValues& entry);
  // Copies the domain object's message into the engine's record; false.
  bool CopyDomainError();
  // "Invalid number value specified for attribute '...'."; false.
  bool InvalidNumber(const std::string& name);
  // The number a Large Integer column's value stands for; false when it stands for none. Nothing
  // in *number when the value is the object's stored time as an export shows it: that value is
  // left as it is.
  bool ReadLargeInteger(ds::Object& object, const std::string& name, const std::string& value,
                        std::optional<std::int64_t>* number);
  // The mailbox store of a new user: its homeMDB value, or the DN built from the five exch
  // columns; fails when neither is complete.
  bool MailboxStoreDN(const EntryValues& entry, std::string* store_dn);
  // AddColumn for the file check: fails, naming the column, when the table has that name already.
  bool AddCheckedColumn(const std::string& name, const std::string& admin_display_name,
                        const std::string& schema_entry_dn, int value_type, bool single_valued);
  // "Errors - <run start>.csv" in ErrorFolder; number 2 and up adds " (number)" to the name.
  std::string BuildErrorFilePath(int number) const;
  // Creates this run's error file under the first free name and sets ErrorFilePath; fails, with
  // nothing applied yet, when no file can be created there.
  bool ReserveErrorFile();
  // Removes the reserved file again when no entry failed.
  void ReleaseUnusedErrorFile();
  // Appends to the error file, asking Retry/Cancel while it cannot be written.
  bool AppendErrorFileLine(const std::string& line);

  ImportDirectory* domain_;
  const Clock& clock_;
  StoredChoices stored_choices_;
  CBVKError error_;
  CBVKFileUtil file_util_;
  std::vector<CImportColumn> columns_;
  // The header ends with the error file's own "Error" column, which the engine ignores.
  bool has_error_column_ = false;
  std::set<std::string> seen_objects_;
  // The undo file of the run, when UndoFile names one.
  std::unique_ptr<ImportUndo> undo_;
  // The number of the entry being applied, counted from 1.
  int entry_number_ = 0;
  // The regional formats of the run's time stamps, read once when the run starts: reading the
  // settings for each of thousands of log lines would cost more than the entries themselves.
  std::optional<DateTimeFormats> run_formats_;
  // The encoding the import file was last read in.
  TextEncoding import_encoding_ = TextEncoding::kUtf8;
};

}  // namespace tessary
