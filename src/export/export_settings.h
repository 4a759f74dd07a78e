#pragma once
// The export and header values of the settings store (the current user's
// Software\Brenvik\Tessary): what the wizard remembers of its last export. Loading and saving
// are silent: a value that cannot be read keeps its default, one that cannot be written is
// skipped.

#include <string>

namespace tessary {

struct ExportSettings {
  bool SetDefaultExportFile = true;   // "Set Default Exp File"
  std::string ExportFile;             // "Export File"
  std::string ExportClass;            // "Export Class": the class's common name
  bool IncludeSubcontainers = false;  // "Export Subcontainers"
  std::string ExportContainer;        // "Export Container": a DN; empty when none was selected
  std::string HeaderFile;             // "Header File"
};

// Loads the export task's values; an empty "Export File" becomes the current folder +
// "Export.csv".
void LoadExportSettings(ExportSettings* settings);
// Loads the header task's value; an empty "Header File" becomes the current folder +
// "Header.csv".
void LoadHeaderSettings(ExportSettings* settings);
// Writes "Set Default Exp File", "Export File" (only when remembered), "Export Class",
// "Export Subcontainers" and "Export Container" (only when one is selected).
void SaveExportSettings(const ExportSettings& settings);

}  // namespace tessary
