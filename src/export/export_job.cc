#include "export/export_job.h"

#include <memory>

#include "directory/dn.h"
#include "export/export_columns.h"
#include "support/bvk_progress_dlg.h"

namespace tessary {
namespace {

std::int32_t* Counter(CBVKProgressDlg& dialog, const char* key) {
  return dialog.Parameter<std::int32_t>(key);
}

}  // namespace

std::vector<std::string> CExportJob::Columns() const {
  std::vector<std::string> columns = Attributes;
  PutIdentityColumns(&columns);
  return columns;
}

std::string CExportJob::ContainerDisplayName() const {
  if (Container == nullptr) return {};
  if (Container == &domain_) return DNToDomainName(domain_.DistinguishedName);
  return Container->Name;
}

std::int32_t CExportJob::Fail(const std::string& message) {
  error_.SetText(message);
  error_.ShowError();
  return 0;
}

std::int32_t CExportJob::RunExport(CBVKProgressDlg& dialog) {
  std::int32_t* total = Counter(dialog, kTotalObjectsKey);
  if (total == nullptr || Counter(dialog, kContainerObjectsKey) == nullptr ||
      Container == nullptr) {
    return Fail("Could not start the export: the run was given no container or counters.");
  }
  if (SaveChoices) SaveChoices();
  columns_ = Columns();
  run_formats_ = DateTimeFormats::FromRegistry();
  if (!file_.Create(OutputFile, ColumnLine(columns_))) return Fail(file_.Error().GetText());
  *total = 0;
  write_failure_.clear();
  const bool searched = SearchContainer(*Container, dialog);
  file_.Close();
  if (!searched) {
    error_.ShowError();
    return 0;
  }
  if (!write_failure_.empty()) {
    // Lines are missing from the file: it must not be reported as complete. The message was
    // shown when the write failed.
    error_.SetText(write_failure_);
    return 0;
  }
  if (*total == 0) {
    return Fail("Could not locate any objects of the class '" + ClassName + "' in the container '" +
                ContainerDisplayName() +
                (IncludeSubcontainers ? " (including subcontainers)" : "") + "'.");
  }
  error_.SetText("Export file '" + OutputFile + "' completed successfully.\n" +
                 std::to_string(*total) + " '" + ClassName + "' objects were exported.");
  return 1;
}

bool CExportJob::SearchContainer(CBVKADObject& container, CBVKProgressDlg& dialog) {
  const CBVKADSchemaObject* schema_class = domain_.FindClassByAdminName(ClassName);
  if (schema_class == nullptr) {
    error_.SetText("Could not locate information for the schema class " + ClassName + ".");
    return false;
  }
  *Counter(dialog, kContainerObjectsKey) = 0;
  const std::string name = &container == &domain_ ? ContainerDisplayName() : container.Name;
  dialog.SetStatusText("Searching for objects in the container:\n" + name);
  if (dialog.IsCancelled()) return true;
  dialog.SetItemText(kContainerCountId, "0");

  CBVKADSearch search;
  search.row_handler = [&](CBVKADPropertySet& row) { return HandleRow(row, dialog); };
  if (!domain_.Search(search, container.DistinguishedName,
                      EqualityFilter("objectCategory", schema_class->LDAPDisplayName), columns_,
                      CBVKADObject::Subtree::No)) {
    error_.SetText(search.error.GetText());
    return false;
  }
  if (!IncludeSubcontainers) return true;

  if (&container == &domain_) {
    if (!domain_.EnumContainers()) {
      error_.SetText(domain_.Error().GetText());
      return false;
    }
    for (int i = 0; i < domain_.GetContainerCount(); ++i) {
      if (!SearchContainer(*domain_.GetContainer(i), dialog)) return false;
    }
    return true;
  }
  auto* node = dynamic_cast<CExContainer*>(&container);
  if (node == nullptr) return true;
  if (!node->EnumSubContainers()) {
    error_.SetText(node->Error().GetText());
    return false;
  }
  for (int i = 0; i < node->GetContainerCount(); ++i) {
    if (!SearchContainer(*node->GetContainer(i), dialog)) return false;
  }
  return true;
}

bool CExportJob::HandleRow(CBVKADPropertySet& row, CBVKProgressDlg& dialog) {
  if (dialog.IsCancelled()) return false;
  std::int32_t& in_container = *Counter(dialog, kContainerObjectsKey);
  std::int32_t& total = *Counter(dialog, kTotalObjectsKey);
  dialog.SetItemText(kContainerCountId, std::to_string(++in_container));
  dialog.SetItemText(kTotalCountId, std::to_string(++total));
  // The line goes to the file at once; nothing of the rows is kept.
  if (!file_.AppendLine(ExportLine(row, columns_, run_formats_))) {
    // The object was counted but not written; the count must not claim it.
    --total;
    --in_container;
    write_failure_ = file_.Error().GetText();
    Fail(write_failure_);
    return false;
  }
  return true;
}

std::int32_t CExportJob::ExportWork(CBVKProgressDlg& dialog) {
  CExportJob* job = dialog.Parameter<CExportJob>(kParameterKey);
  return job ? job->RunExport(dialog) : 0;
}

std::int32_t CExportJob::RunWithProgress(platform::ProgressHost& host,
                                         const platform::Window* parent) {
  std::int32_t total = 0, in_container = 0;
  CBVKProgressDlg::ParameterMap parameters = {
      {kParameterKey, this}, {kTotalObjectsKey, &total}, {kContainerObjectsKey, &in_container}};
  auto dialog = std::make_unique<CBVKProgressDlg>(host, parent, kProgressTemplateId);
  dialog->SetAnimationResource(kAnimationClipId);
  dialog->SetParameters(&parameters);
  dialog->SetWorkFunction(&CExportJob::ExportWork);
  return CBVKProgressDlg::Run(std::move(dialog));
}

std::int32_t CExportJob::WriteHeaderFile() {
  if (SaveChoices) SaveChoices();
  CBVKFileUtil files;
  if (!files.WriteLines(OutputFile, {ColumnLine(Columns())}, CBVKFileUtil::Overwrite::Yes)) {
    return Fail(files.Error().GetText());
  }
  error_.SetText("Header file '" + OutputFile + "' completed successfully.");
  return 1;
}

}  // namespace tessary
