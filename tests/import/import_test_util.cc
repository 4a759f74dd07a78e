#include "import_test_util.h"

#include <fstream>
#include <sstream>

#include "support/bvk_progress_dlg.h"
#include "support/bvk_registry.h"

namespace tessary::testing {

std::time_t MorningOfFifthDecember2006() {
  std::tm local{};
  local.tm_year = 2006 - 1900;
  local.tm_mon = 11;
  local.tm_mday = 5;
  local.tm_hour = 10;
  local.tm_min = 30;
  local.tm_isdst = -1;
  return std::mktime(&local);
}

void SetUsRegionalSettings() {
  CBVKRegistry registry;
  ASSERT_TRUE(registry.OpenKey(HKEY_CURRENT_USER, "Control Panel\\International"));
  ASSERT_TRUE(registry.WriteString("sShortDate", "M/d/yyyy"));
  ASSERT_TRUE(registry.WriteString("sDate", "/"));
  ASSERT_TRUE(registry.WriteString("sTimeFormat", "h:mm:ss tt"));
  ASSERT_TRUE(registry.WriteString("sTime", ":"));
  ASSERT_TRUE(registry.WriteString("s1159", "AM"));
  ASSERT_TRUE(registry.WriteString("s2359", "PM"));
}

void WriteLines(const std::filesystem::path& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  WriteFileText(path, text);
}

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
  std::vector<std::string> lines;
  std::istringstream in(ReadFileText(path));
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::int32_t RunBehindDialog(CImportEngine& engine, ScriptedProgressHost& host) {
  CBVKProgressDlg::ParameterMap parameters{{CImportEngine::kParameterKey, &engine}};
  auto dialog = std::make_unique<CBVKProgressDlg>(host, nullptr, 201, 1057, -1, 1055, 1056);
  dialog->SetAnimationResource(202);
  dialog->SetParameters(&parameters);
  dialog->SetWorkFunction(&CImportEngine::ImportWork);
  return CBVKProgressDlg::Run(std::move(dialog));
}

}  // namespace tessary::testing
