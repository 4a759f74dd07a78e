#include "wizard_fixture.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "app/control_ids.h"
#include "../directory/test_directory.h"

namespace tessary::testing {

void WizardTest::SetUp() {
  // The settings' default paths name the working folder: keep them inside the machine.
  saved_folder_ = std::filesystem::current_path().string();
  std::filesystem::current_path(machine_.Root());
  platform::SetUiHost(&ui_);
}

void WizardTest::TearDown() {
  platform::SetUiHost(nullptr);
  std::filesystem::current_path(saved_folder_);
}

app::WizardEnvironment WizardTest::Environment() {
  return {progress_, [this](std::unique_ptr<ds::Directory>* directory, std::string* error) {
            ++opens_;
            if (refuse_directory_) {
              *error = "Could not open the directory 'test'.";
              return false;
            }
            return OpenTestDirectory(machine_.Root(), directory, error);
          }};
}

int WizardTest::RunWizard() {
  app::CTaskWizard wizard(Environment());
  return wizard.DoModal(ui_);
}

int WizardTest::StatusCount(const std::string& text) const {
  return static_cast<int>(std::count(progress_.Log().begin(), progress_.Log().end(),
                                     "text -1: " + text));
}

void WizardTest::ImportToFinishPage(platform::DialogDriver& d, const std::string& file) {
  d.Press(app::kIdNext);
  d.Click(app::kIdTaskImport);
  d.Press(app::kIdNext);
  d.Type(app::kIdPath, file);
  while (d.PageTemplate() != app::kImportFinishPage && d.Enabled(app::kIdNext)) {
    d.Press(app::kIdNext);
  }
  ASSERT_EQ(d.PageTemplate(), app::kImportFinishPage);
}

}  // namespace tessary::testing
