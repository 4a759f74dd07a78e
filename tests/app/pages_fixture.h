#pragma once
// A wizard over a directory the test prepared: the users of an organisational unit of its own
// ("Staff"), the program folder's definition files where the test wants them, and the files
// the command line writes for the same choices, to compare with the wizard's.

#include <memory>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "directory/ds/directory.h"
#include "wizard_fixture.h"

namespace tessary::testing {

class PagesTest : public WizardTest {
 protected:
  static constexpr const char* kDomain = "DC=example,DC=com";
  static constexpr const char* kStaff = "OU=Staff,DC=example,DC=com";

  void SetUp() override;

  // Runs a wizard on the prepared directory (opened again by each wizard, never replaced).
  int RunPreparedWizard();
  // Adds a user below kStaff with a unique account name and a description.
  void AddUser(const std::string& cn, const std::string& description);
  // The program folder of the wizard (the definition files' folder), with its '/'.
  std::string ProgramFolder() const;
  std::string FileText(const std::string& path) const;

  // The command line's export of the class from kStaff (with its subcontainers) and its header
  // file, written to path.
  void CommandLineExport(const std::string& class_name, const std::vector<std::string>& attributes,
                         const std::string& path);
  void CommandLineHeader(const std::string& class_name, const std::vector<std::string>& attributes,
                         const std::string& path);

  // The row of the list view whose column 1 (the LDAP name) is name, or -1.
  static int RowOf(platform::DialogDriver& d, int control_id, const std::string& name);
  // Presses Next from the welcome page through the task page with the task's radio button.
  static void StartTask(platform::DialogDriver& d, int task_button);

 private:
  std::string DirectoryFile() const;
  int accounts_ = 0;
};

}  // namespace tessary::testing
