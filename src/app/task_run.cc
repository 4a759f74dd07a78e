// The task runs of the wizard: leaving the page before the finish page runs the chosen task
// with the same engines the command line uses.
#include "app/task_wizard.h"
#include "export/export_job.h"
#include "support/bvk_file_util.h"

namespace tessary::app {

bool CTaskWizard::PerformTask() {
  switch (task) {
    case kExportTask:
      return RunExportTask();
    case kHeaderTask:
      return RunHeaderTask();
    default:
      return RunImportTask();
  }
}

bool CTaskWizard::RunExportTask() {
  CExportJob job(Domain());
  job.ClassName = ExportClass;
  job.Container = SelectedContainer;
  job.IncludeSubcontainers = IncludeSubcontainers;
  job.OutputFile = ExportFile;
  job.Attributes = SelectedAttributes;
  job.SaveChoices = [this] { SaveExportChoices(); };
  job.Error().SetOwner(&Owner());
  if (job.RunWithProgress(Progress(), &Owner()) != 1) return false;
  Error().SetText(job.Error().Text());
  return true;
}

bool CTaskWizard::RunHeaderTask() {
  CExportJob job(Domain());
  job.ClassName = ExportClass;
  job.OutputFile = HeaderFile;
  job.Attributes = SelectedAttributes;
  job.SaveChoices = [this] { SaveExportChoices(); };
  job.Error().SetOwner(&Owner());
  if (job.WriteHeaderFile() != 1) return false;
  Error().SetText(job.Error().Text());
  return true;
}

bool CTaskWizard::RunImportTask() {
  // The run makes its error file in the folder before the first entry; a folder that cannot be
  // made is better said now, on the page that names it, with nothing imported.
  engine_->ErrorFolder = CBVKFileUtil::AddTrailingSlash(engine_->ErrorFolder);
  CBVKFileUtil files;
  files.Error().SetOwner(&Owner());
  if (!files.CreateFolder(engine_->ErrorFolder)) {
    (void)files.Error().ShowError();
    return false;
  }
  engine_->Error().SetOwner(&Owner());
  const std::int32_t result = engine_->RunWithProgress(Progress(), &Owner());
  Error().SetText(engine_->Error().Text());
  return result == 1;
}

}  // namespace tessary::app
