#include "import/import_engine.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "import/csv_records.h"
#include "import/split_values.h"
#include "platform/program_folder.h"

namespace tessary {
namespace {

// The column an error file adds after the import file's own columns.
constexpr const char* kErrorColumn = "Error";

}  // namespace

std::string UpperCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

CImportEngine::CImportEngine(ImportDirectory* domain, const Clock& clock, StoredChoices stored)
    : domain_(domain), clock_(clock), stored_choices_(stored) {
  if (stored_choices_ == StoredChoices::kLoadAndSave)
    LoadImportSettings();
  else
    SetInitialChoices();
  DataFolder = platform::ProgramFolder();
  if (!DataFolder.empty() && DataFolder.back() != '/') DataFolder += '/';
}

int CImportEngine::FindColumn(const std::string& name) const {
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (columns_[i].Name == name) return static_cast<int>(i);
  }
  return -1;
}

std::string CImportEngine::GetColumnValue(const EntryValues& entry, const std::string& name) const {
  const int index = FindColumn(name);
  if (index < 0 || static_cast<std::size_t>(index) >= entry.size()) return {};
  return entry[index];
}

void CImportEngine::AddColumn(const std::string& name, const std::string& admin_display_name,
                              const std::string& schema_entry_dn, int value_type,
                              bool single_valued) {
  columns_.push_back({name, admin_display_name, schema_entry_dn, value_type, single_valued});
}

int CImportEngine::GetColumnNames(std::vector<std::string>& names) const {
  names.clear();
  for (const CImportColumn& column : columns_) names.push_back(column.Name);
  return static_cast<int>(names.size());
}

void CImportEngine::MapColumns(std::map<std::string, const CImportColumn*>& map) const {
  map.clear();
  for (const CImportColumn& column : columns_) map[column.AdminDisplayName] = &column;
}

bool CImportEngine::ReadImportLines(std::vector<std::string>* lines) {
  std::string bytes;
  if (!file_util_.ReadFile(ImportFile, &bytes)) {
    error_.SetText(file_util_.Error().Text());
    return false;
  }
  // Whatever the spreadsheet saved, the directory only ever sees UTF-8.
  lines->clear();
  const std::string text = DecodeText(std::move(bytes), &import_encoding_);
  SplitRecords(text, lines);
  return true;
}

void CImportEngine::NoteErrorColumn(std::vector<std::string>* header) {
  has_error_column_ = !header->empty() && header->back() == kErrorColumn;
  if (has_error_column_) header->pop_back();
}

bool CImportEngine::ReadEntries(std::vector<EntryValues>* entries) {
  entries->clear();
  std::vector<std::string> lines;
  if (!ReadImportLines(&lines)) return false;
  for (std::size_t i = 1; i < lines.size(); ++i) entries->push_back(SplitEntry(lines[i]));
  return true;
}

EntryValues CImportEngine::SplitEntry(const std::string& line) const {
  EntryValues entry;
  SplitValues(line, kLineSeparator, entry);
  if (has_error_column_ && !entry.empty()) entry.pop_back();
  return entry;
}

std::string CImportEngine::EntryMode(const EntryValues& entry) const {
  // An entry that ends before the mode column has an empty mode.
  return GetColumnValue(entry, "mode");
}

}  // namespace tessary
