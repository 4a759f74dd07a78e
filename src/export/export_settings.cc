#include "export/export_settings.h"

#include "support/settings_store.h"

namespace tessary {

void LoadExportSettings(ExportSettings* settings) {
  CBVKRegistry registry;
  if (registry.OpenKey(HKEY_CURRENT_USER, kSettingsKey)) {
    ReadSettingFlag(registry, "Set Default Exp File", &settings->SetDefaultExportFile);
    ReadSettingText(registry, "Export File", &settings->ExportFile);
    ReadSettingText(registry, "Export Class", &settings->ExportClass);
    ReadSettingFlag(registry, "Export Subcontainers", &settings->IncludeSubcontainers);
    ReadSettingText(registry, "Export Container", &settings->ExportContainer);
  }
  if (settings->ExportFile.empty()) settings->ExportFile = CurrentFolder() + "Export.csv";
}

void LoadHeaderSettings(ExportSettings* settings) {
  CBVKRegistry registry;
  if (registry.OpenKey(HKEY_CURRENT_USER, kSettingsKey)) {
    ReadSettingText(registry, "Header File", &settings->HeaderFile);
  }
  if (settings->HeaderFile.empty()) settings->HeaderFile = CurrentFolder() + "Header.csv";
}

void SaveExportSettings(const ExportSettings& settings) {
  CBVKRegistry registry;
  if (!registry.OpenKey(HKEY_CURRENT_USER, kSettingsKey)) return;
  (void)registry.WriteDWORD("Set Default Exp File", settings.SetDefaultExportFile ? 1 : 0);
  if (settings.SetDefaultExportFile) (void)registry.WriteString("Export File", settings.ExportFile);
  (void)registry.WriteString("Export Class", settings.ExportClass);
  (void)registry.WriteDWORD("Export Subcontainers", settings.IncludeSubcontainers ? 1 : 0);
  if (!settings.ExportContainer.empty()) {
    (void)registry.WriteString("Export Container", settings.ExportContainer);
  }
}

}  // namespace tessary
