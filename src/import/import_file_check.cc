// The two checks that run when the user chooses an import file: the header against the schema,
// and every entry's value count and domain.
#include <string>
#include <vector>

#include "directory/dn.h"
#include "import/import_engine.h"
#include "import/split_values.h"

namespace tessary {
namespace {

constexpr const char* kExampleDomain = "DC=brenvik,DC=com";

}  // namespace

bool CImportEngine::AddCheckedColumn(const std::string& name, const std::string& admin_display_name,
                                     const std::string& schema_entry_dn, int value_type,
                                     bool single_valued) {
  // Every lookup by name finds the first column only, so a second column of the same name would
  // lose its values without a word.
  if (FindColumn(name) >= 0) {
    error_.SetText("The column '" + name +
                   "' is named more than once in the import file.\nEach column may appear only "
                   "once; remove or merge the other columns of that name.");
    return false;
  }
  AddColumn(name, admin_display_name, schema_entry_dn, value_type, single_valued);
  return true;
}

bool CImportEngine::CheckImportFile() {
  columns_.clear();
  std::vector<std::string> lines;
  if (!ReadImportLines(&lines)) return false;
  if (lines.empty()) {
    error_.SetText("The import file '" + ImportFile + "' appears to be empty.");
    return false;
  }
  std::vector<std::string> header;
  SplitValues(lines.front(), kLineSeparator, header);
  NoteErrorColumn(&header);

  for (const std::string& value : header) {
    const std::string name = UpperCase(value) == "MODE" ? "mode" : value;
    if (IsSpecialColumn(name, Creating::No)) {
      if (!AddCheckedColumn(name, name, name, kValueSpecial, true)) return false;
      continue;
    }
    ImportAttributeInfo info;
    info.ldap_name = name;
    bool found = domain_ && domain_->GetAttributeInfo(&info);
    if (!found && domain_) {
      info = ImportAttributeInfo{};
      info.admin_display_name = name;
      found = domain_->GetAttributeInfo(&info);
    }
    if (!found) {
      error_.SetText("Could not retrieve information about the attribute '" + name + "'.");
      if (domain_) error_.AddLine(domain_->Error().Text());
      return false;
    }
    if (IsSpecialColumn(info.ldap_name, Creating::No)) {
      if (!AddCheckedColumn(info.ldap_name, info.ldap_name, info.ldap_name, kValueSpecial, true))
        return false;
      continue;
    }
    int value_type = info.variant_type;
    if (info.ads_type == ds::ADSTYPE_LARGE_INTEGER) {
      value_type = kValueLargeInteger;
    } else if (value_type != kValueInteger && value_type != kValueString &&
               value_type != kValueBoolean) {
      error_.SetText("Tessary does not currently support the attribute '" + info.ldap_name +
                     "' or attributes of type '" + info.syntax_text + "'.");
      return false;
    }
    if (!AddCheckedColumn(info.ldap_name, info.admin_display_name,
                          "CN=" + info.admin_display_name + "," + domain_->SchemaNamingContext(),
                          value_type, info.single_valued)) {
      return false;
    }
  }

  if (FindColumn("mode") < 0) {
    error_.SetText(
        "Could not locate the column 'mode' in the import file.\nThis column is required in order "
        "to delete, modify or create new objects.");
    return false;
  }
  if (FindColumn("objectGUID") < 0 && FindColumn("distinguishedName") < 0) {
    error_.SetText(
        "Could not locate the column 'objectGUID' or 'distinguishedName'.\nYou must specify one "
        "of these columns in order to delete, modify or create new objects.");
    return false;
  }
  if (FindColumn("container") >= 0) {
    // A container value means a move; an entry of another mode that leaves it empty (as an undo
    // file's Create, Modify and Delete entries do beside its moves back) asks for nothing lost.
    for (std::size_t i = 1; i < lines.size(); ++i) {
      const EntryValues entry = SplitEntry(lines[i]);
      const std::string mode = EntryMode(entry);
      if (mode != "Move" && !GetColumnValue(entry, "container").empty()) {
        error_.SetText(
            "The import file has the column 'container' specified, but has modes that are not "
            "'Move'.");
        error_.AddLine("Import entry: " + std::to_string(i) + "; Mode: " + mode);
        return false;
      }
    }
  }
  CreatesUsers = false;
  for (std::size_t i = 1; i < lines.size() && !CreatesUsers; ++i) {
    const EntryValues entry = SplitEntry(lines[i]);
    const std::string object_class = UpperCase(GetColumnValue(entry, "objectClass"));
    CreatesUsers = EntryMode(entry) == "Create" && (object_class == "USER" || object_class.empty());
  }
  PasswordsSupplied = CreatesUsers && FindColumn("password") >= 0;
  return true;
}

bool CImportEngine::ValidateImportLines() {
  std::vector<std::string> lines;
  if (!ReadImportLines(&lines)) return false;
  if (!lines.empty()) {
    std::vector<std::string> header;
    SplitValues(lines.front(), kLineSeparator, header);
    NoteErrorColumn(&header);
  }
  if (FindColumn("distinguishedName") < 0) {
    if (FindColumn("objectGUID") < 0) {
      error_.SetText(
          "Your import file does not contain the 'objectGUID' or 'distinguishedName' column.");
      return false;
    }
    return true;
  }
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const EntryValues entry = SplitEntry(lines[i]);
    const std::string invalid = "Line " + std::to_string(i) +
                                " (including the header line) in your import file is invalid.";
    if (entry.size() != columns_.size()) {
      error_.SetText(invalid + "\nOnly " + std::to_string(entry.size()) +
                     " values were found in the line.\nThe header line specifies " +
                     std::to_string(columns_.size()) + " columns.");
      return false;
    }
    std::string dn = GetColumnValue(entry, "distinguishedName");
    NormalizeDN(dn);
    if (dn.find("DC=") == std::string::npos) {
      error_.SetText(invalid +
                     "\nThe distinguishedName value in this line does not contain a domain. "
                     "(Example: " +
                     kExampleDomain + ")");
      return false;
    }
  }
  return true;
}

}  // namespace tessary
