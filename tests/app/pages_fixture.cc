#include "pages_fixture.h"

#include <filesystem>

#include "../directory/test_directory.h"
#include "directory/ds/open_directory.h"
#include "directory/ex_domain.h"
#include "export/export_job.h"
#include "platform/program_folder.h"

namespace tessary::testing {

void PagesTest::SetUp() {
  WizardTest::SetUp();
  std::string error;
  std::unique_ptr<ds::Directory> directory;
  ASSERT_TRUE(OpenTestDirectory(machine_.Root(), &directory, &error)) << error;
  std::unique_ptr<ds::Object> domain, unit;
  ASSERT_EQ(directory->Bind(std::string("LDAP://") + kDomain, &domain), S_OK);
  ASSERT_EQ(domain->Create("organizationalUnit", "OU=Staff", &unit), S_OK);
  ASSERT_EQ(unit->SetInfo(), S_OK);
}

std::string PagesTest::DirectoryFile() const { return Path("directory.db"); }

int PagesTest::RunPreparedWizard() {
  app::WizardEnvironment environment{
      progress_, [this](std::unique_ptr<ds::Directory>* directory, std::string* error) {
        ++opens_;
        return ds::OpenDirectory(DirectoryFile(), directory, error);
      }};
  app::CTaskWizard wizard(environment);
  return wizard.DoModal(ui_);
}

void PagesTest::AddUser(const std::string& cn, const std::string& description) {
  std::unique_ptr<ds::Directory> directory;
  std::string error;
  ASSERT_TRUE(ds::OpenDirectory(DirectoryFile(), &directory, &error)) << error;
  std::unique_ptr<ds::Object> unit, user;
  ASSERT_EQ(directory->Bind(std::string("LDAP://") + kStaff, &unit), S_OK);
  ASSERT_EQ(unit->Create("user", "CN=" + cn, &user), S_OK);
  ASSERT_EQ(user->PutEx(ds::ADS_PROPERTY_UPDATE, "sAMAccountName",
                        {ds::Value::String("staff" + std::to_string(++accounts_))}),
            S_OK);
  ASSERT_EQ(user->PutEx(ds::ADS_PROPERTY_UPDATE, "description", {ds::Value::String(description)}),
            S_OK);
  ASSERT_EQ(user->SetInfo(), S_OK);
}

std::string PagesTest::ProgramFolder() const { return platform::ProgramFolder(); }

std::string PagesTest::FileText(const std::string& path) const { return ReadFileText(path); }

void PagesTest::CommandLineExport(const std::string& class_name,
                                  const std::vector<std::string>& attributes,
                                  const std::string& path) {
  std::unique_ptr<ds::Directory> directory;
  std::string error;
  ASSERT_TRUE(ds::OpenDirectory(DirectoryFile(), &directory, &error)) << error;
  CExDomain domain(directory.get());
  ASSERT_TRUE(domain.Connect());
  ASSERT_TRUE(domain.LoadSchemaClass(class_name));
  CExContainer staff(directory.get());
  staff.DistinguishedName = kStaff;
  staff.Name = "Staff";
  CExportJob job(domain);
  job.ClassName = class_name;
  job.Container = &staff;
  job.IncludeSubcontainers = true;
  job.OutputFile = path;
  job.Attributes = attributes;
  ASSERT_EQ(job.RunWithProgress(progress_, nullptr), 1) << job.Error().Text();
}

void PagesTest::CommandLineHeader(const std::string& class_name,
                                  const std::vector<std::string>& attributes,
                                  const std::string& path) {
  std::unique_ptr<ds::Directory> directory;
  std::string error;
  ASSERT_TRUE(ds::OpenDirectory(DirectoryFile(), &directory, &error)) << error;
  CExDomain domain(directory.get());
  ASSERT_TRUE(domain.Connect());
  ASSERT_TRUE(domain.LoadSchemaClass(class_name));
  CExportJob job(domain);
  job.ClassName = class_name;
  job.OutputFile = path;
  job.Attributes = attributes;
  ASSERT_EQ(job.WriteHeaderFile(), 1) << job.Error().Text();
}

int PagesTest::RowOf(platform::DialogDriver& d, int control_id, const std::string& name) {
  const platform::ControlState* state = d.State(control_id);
  if (!state) return -1;
  for (int row = 0; row < static_cast<int>(state->rows.size()); ++row) {
    if (state->rows[row].texts.size() > 1 && state->rows[row].texts[1] == name) return row;
  }
  return -1;
}

void PagesTest::StartTask(platform::DialogDriver& d, int task_button) {
  d.Press(app::kIdNext);
  d.Click(task_button);
  d.Press(app::kIdNext);
}

}  // namespace tessary::testing
