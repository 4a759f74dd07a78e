#include "export/export_settings.h"

#include <cstdint>
#include <filesystem>
#include <system_error>

#include "support/bvk_registry.h"

namespace tessary {
namespace {

constexpr const char* kSettingsKey = "Software\\Brenvik\\Tessary";

std::string InCurrentFolder(const char* file_name) {
  std::error_code error;
  std::string folder = std::filesystem::current_path(error).string();
  if (error) folder.clear();
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder + file_name;
}

void ReadFlag(CBVKRegistry& registry, const char* name, bool* flag) {
  std::uint32_t value = 0;
  if (registry.ReadDWORD(name, &value, 0)) *flag = value != 0;
}

void ReadText(CBVKRegistry& registry, const char* name, std::string* text) {
  std::string value;
  if (registry.ReadString(name, &value, {})) *text = value;
}

}  // namespace

void LoadExportSettings(ExportSettings* settings) {
  CBVKRegistry registry;
  if (registry.OpenKey(HKEY_CURRENT_USER, kSettingsKey)) {
    ReadFlag(registry, "Set Default Exp File", &settings->SetDefaultExportFile);
    ReadText(registry, "Export File", &settings->ExportFile);
    ReadText(registry, "Export Class", &settings->ExportClass);
    ReadFlag(registry, "Export Subcontainers", &settings->IncludeSubcontainers);
    ReadText(registry, "Export Container", &settings->ExportContainer);
  }
  if (settings->ExportFile.empty()) settings->ExportFile = InCurrentFolder("Export.csv");
}

void LoadHeaderSettings(ExportSettings* settings) {
  CBVKRegistry registry;
  if (registry.OpenKey(HKEY_CURRENT_USER, kSettingsKey)) {
    ReadText(registry, "Header File", &settings->HeaderFile);
  }
  if (settings->HeaderFile.empty()) settings->HeaderFile = InCurrentFolder("Header.csv");
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
