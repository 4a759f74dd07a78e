#pragma once
// What the "Import Attributes" dialog collects: the directory attributes named by the columns of
// existing comma-delimited files (export, header, import or error files), found in the schema
// as the import's file check finds them. It only reads files and the schema; every failure is
// shown (stop icon, or exclamation when some columns were found) and never ends the dialog.

#include <string>
#include <vector>

#include "import/import_column.h"
#include "import/import_directory.h"
#include "platform/ui/ui_host.h"

namespace tessary {

class CImportAttributeList {
 public:
  // The file filter and extension of "&Select File...".
  static constexpr const char* kFilter = "(*.csv)|*.csv";
  static constexpr const char* kDefaultExtension = "csv";

  // directory answers the schema look-ups; it must stay connected while the list is used.
  explicit CImportAttributeList(ImportDirectory& directory) : directory_(directory) {}

  // The attributes found, in the order found; one row each (admin display name, LDAP name).
  const std::vector<CImportColumn>& Attributes() const { return attributes_; }

  // "&Select File...": asks for a file (nothing happens when that is cancelled) and adds the
  // attributes of its column line.
  void SelectFile(const platform::Window* parent);
  // Adds the attributes named by the file's column line.
  void AddFile(const std::string& path);
  // "&Clear List".
  void Clear() { attributes_.clear(); }
  // OK: false, after the stop-icon message, while the list is empty.
  [[nodiscard]] bool Accept() const;

 private:
  // The schema's record of the column, or false when neither look-up knows it.
  bool LookUp(const std::string& column, ImportAttributeInfo* info);

  ImportDirectory& directory_;
  std::vector<CImportColumn> attributes_;
};

}  // namespace tessary
