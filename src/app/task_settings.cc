// The wizard's side of the settings store: what a chosen task loads and what a run saves.
#include "app/task_wizard.h"
#include "export/export_settings.h"

namespace tessary::app {

void CTaskWizard::LoadTaskSettings() {
  ExportSettings settings;
  settings.SetDefaultExportFile = SetDefaultExportFile;
  switch (task) {
    case kExportTask:
      LoadExportSettings(&settings);
      SetDefaultExportFile = settings.SetDefaultExportFile;
      ExportFile = settings.ExportFile;
      ExportClass = settings.ExportClass;
      IncludeSubcontainers = settings.IncludeSubcontainers;
      SavedContainer = settings.ExportContainer;
      break;
    case kHeaderTask:
      LoadHeaderSettings(&settings);
      HeaderFile = settings.HeaderFile;
      break;
    default:
      // The import's values were loaded with the engine, once per wizard.
      break;
  }
}

void CTaskWizard::SaveExportChoices() {
  WriteObjectTypes(DefinitionFilePath(ProgramFolder, kObjectTypesFileName), ObjectTypes);
  WriteAttributeDefinitions(DefinitionFilePath(ProgramFolder, kAttributeDefinitionsFileName),
                            SelectedAttributeNames);
  // A header run holds no export file or container of its own: writing the export values
  // would replace the stored export file with an empty one.
  if (task != kExportTask) return;
  ExportSettings settings;
  settings.SetDefaultExportFile = SetDefaultExportFile;
  settings.ExportFile = ExportFile;
  settings.ExportClass = ExportClass;
  settings.IncludeSubcontainers = IncludeSubcontainers;
  if (SelectedContainer) settings.ExportContainer = SelectedContainer->DistinguishedName;
  SaveExportSettings(settings);
}

}  // namespace tessary::app
