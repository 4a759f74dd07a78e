#include "import/import_attribute_list.h"

#include "import/csv_records.h"
#include "import/split_values.h"
#include "support/bvk_error.h"
#include "support/bvk_file_util.h"
#include "support/text_encoding.h"

namespace tessary {
namespace {

void Show(const std::string& text, unsigned icon) {
  CBVKError message;
  message.SetText(text);
  if (icon == platform::kMbIconStop) {
    (void)message.ShowError();
  } else {
    (void)message.ShowWarning();
  }
}

// Columns the import handles itself, and an error file's message column, are no attributes;
// cn, memberOf and pwdLastSet are, although the import writes them in its own way.
bool IsAttributeColumn(const std::string& name) {
  if (name == "cn" || name == "memberOf" || name == "pwdLastSet") return true;
  return !IsSpecialColumn(name, Creating::Yes) && name != "Error";
}

}  // namespace

void CImportAttributeList::SelectFile(const platform::Window* parent) {
  CBVKFileUtil files;
  std::string path;
  bool cancelled = false;
  files.BrowseForFile(&path, kDefaultExtension, kFilter, parent, &cancelled);
  if (!cancelled) AddFile(path);
}

bool CImportAttributeList::LookUp(const std::string& column, ImportAttributeInfo* info) {
  *info = ImportAttributeInfo{};
  info->ldap_name = column;
  if (directory_.GetAttributeInfo(info)) return true;
  *info = ImportAttributeInfo{};
  info->admin_display_name = column;
  return directory_.GetAttributeInfo(info);
}

void CImportAttributeList::AddFile(const std::string& path) {
  CBVKFileUtil files;
  std::string bytes;
  if (!files.ReadFile(path, &bytes)) {
    (void)files.Error().ShowError();
    return;
  }
  // The same decoding and record rules as the import, so a file the import takes is read alike.
  TextEncoding encoding = TextEncoding::kUtf8;
  std::vector<std::string> records;
  SplitRecords(DecodeText(std::move(bytes), &encoding), &records);
  if (records.empty()) {
    Show("The file '" + path + "' appears to be empty.", platform::kMbIconStop);
    return;
  }
  std::vector<std::string> columns;
  SplitValues(records.front(), kLineSeparator, columns);

  std::string not_found;
  int added = 0;
  for (const std::string& column : columns) {
    if (!IsAttributeColumn(column)) continue;
    ImportAttributeInfo info;
    if (!LookUp(column, &info)) {
      not_found += "\n" + column;
      continue;
    }
    // Written in other letters, a column can turn out to be one the import handles itself.
    if (!IsAttributeColumn(info.ldap_name)) continue;
    attributes_.push_back({info.ldap_name, info.admin_display_name,
                           "CN=" + info.admin_display_name + "," + directory_.SchemaNamingContext(),
                           info.variant_type, info.single_valued});
    ++added;
  }
  if (added == 0 && not_found.empty()) not_found = "\nNo attributes were found to import.";
  if (not_found.empty()) return;
  if (added > 0) {
    Show("Could not import the following attributes:\n" + not_found, platform::kMbIconExclamation);
  } else {
    Show("Could not import any attributes.\n" + not_found, platform::kMbIconStop);
  }
}

bool CImportAttributeList::Accept() const {
  if (!attributes_.empty()) return true;
  Show("You must import attributes before clicking OK.  To close this window without importing "
       "any attributes, click Cancel.",
       platform::kMbIconStop);
  return false;
}

}  // namespace tessary
