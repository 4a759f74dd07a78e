#include "platform/registry_seed.h"

#include <string>

#include "platform/machine_paths.h"
#include "platform/regional_settings.h"

namespace tessary::platform {
namespace {

void SetText(RegKeyData* key, const std::string& name, const std::string& text) {
  std::vector<std::uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  key->SetValue(name, REG_SZ, std::move(data));
}

void SeedClasses(RegHive* hive) {
  SetText(&hive->CreateKey("htmlfile\\shell\\open\\command"), "", "xdg-open \"%1\"");
  SetText(&hive->CreateKey("http\\shell\\open\\command"), "", "xdg-open \"%1\"");
}

void SeedMachine(RegHive* hive) {
  RegKeyData& version = hive->CreateKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
  SetText(&version, "ProgramFilesDir", MachinePath("/opt").string());
  SetText(&version, "CommonFilesDir", MachinePath("/opt/common").string());
}

// Windows keeps the numeric regional values as text, too.
void SeedUser(RegHive* hive) {
  RegionalSettings settings = RegionalSettingsFromEnvironment();
  RegKeyData& international = hive->CreateKey("Control Panel\\International");
  SetText(&international, "iDate", std::to_string(settings.date_order));
  SetText(&international, "iTime", std::to_string(settings.twenty_four_hour));
  SetText(&international, "iTLZero", std::to_string(settings.hour_leading_zero));
  SetText(&international, "s1159", settings.am_symbol);
  SetText(&international, "s2359", settings.pm_symbol);
  SetText(&international, "sDate", settings.date_separator);
  SetText(&international, "sShortDate", settings.short_date);
  SetText(&international, "sTime", settings.time_separator);
  SetText(&international, "sTimeFormat", settings.time_format);
}

}  // namespace

void SeedHive(HKEY root, RegHive* hive) {
  if (root == HKEY_CLASSES_ROOT) SeedClasses(hive);
  if (root == HKEY_LOCAL_MACHINE) SeedMachine(hive);
  if (root == HKEY_CURRENT_USER) SeedUser(hive);
}

}  // namespace tessary::platform
