#pragma once
// What the import task's pages check and run: the import file page's check of the file, the
// rows of the verify-columns page, and the run behind its progress dialog when the error-folder
// page is left. The mailbox, account and folder choices are the engine's own fields, which the
// pages bind directly.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/attribute_list.h"
#include "import/import_engine.h"
#include "platform/ui/progress_host.h"

namespace tessary {

class CImportChoices {
 public:
  CImportChoices(CImportEngine& engine, platform::ProgressHost& progress)
      : engine_(engine), progress_(progress) {}
  void SetParent(const platform::Window* parent) { parent_ = parent; }

  // Import file page (211): the file check and the line validation; false, after the engine's
  // message with the stop icon, when either fails. On success the columns are known.
  [[nodiscard]] bool LeaveImportFile();
  std::vector<std::string> ColumnNames;                    // in file order
  std::map<std::string, const CImportColumn*> ColumnMap;  // by admin display name

  // Verify import columns page (139): one unchecked row per column, sorted by display name.
  CAttributeList ColumnRows() const;

  // New account settings page (166): "User must change password at next logon" only makes sense
  // when the file gives passwords.
  bool MustChangePasswordEnabled() const { return engine_.PasswordsSupplied; }

  // Leaving the error file folder page (212): makes sure the folder exists (a failure is shown
  // and keeps the page: 0), then runs the import behind its progress dialog. 1 with the summary
  // in the engine's record.
  std::int32_t RunImport();

 private:
  CImportEngine& engine_;
  platform::ProgressHost& progress_;
  const platform::Window* parent_ = nullptr;
};

}  // namespace tessary
