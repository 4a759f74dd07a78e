#include "app/import_choices.h"

#include "support/bvk_file_util.h"

namespace tessary {

bool CImportChoices::LeaveImportFile() {
  if (!engine_.CheckImportFile() || !engine_.ValidateImportLines()) {
    (void)engine_.Error().ShowError();
    return false;
  }
  engine_.GetColumnNames(ColumnNames);
  engine_.MapColumns(ColumnMap);
  return true;
}

CAttributeList CImportChoices::ColumnRows() const {
  CAttributeList rows;
  for (const auto& [admin_name, column] : ColumnMap) rows.Add(admin_name, column->Name, false);
  rows.SortBy(CAttributeList::kDisplayNameColumn);
  return rows;
}

std::int32_t CImportChoices::RunImport() {
  // The error file is created in the folder at the first failing entry; a folder that cannot be
  // made is better reported now, on the page that names it, than by every entry of the run.
  engine_.ErrorFolder = CBVKFileUtil::AddTrailingSlash(engine_.ErrorFolder);
  CBVKFileUtil files;
  if (!files.CreateFolder(engine_.ErrorFolder)) {
    (void)files.Error().ShowError();
    return 0;
  }
  return engine_.RunWithProgress(progress_, parent_);
}

}  // namespace tessary
