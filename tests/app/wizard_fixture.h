#pragma once
// A wizard on the scripted hosts: a private machine whose working folder is its root, a fresh
// test directory opened when the welcome page is left, the scripted UI host installed for the
// process and a scripted progress host.

#include <memory>
#include <string>

#include "app/task_wizard.h"
#include "platform/ui/scripted_dialog.h"
#include "platform/ui/scripted_ui_host.h"
#include "support/bvk_progress_scripted_host.h"
#include "test_support.h"

namespace tessary::testing {

class WizardTest : public MachineTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  app::WizardEnvironment Environment();
  // Runs a wizard with the queued dialog scripts; returns its result.
  int RunWizard();
  // How often a progress dialog showed the status text.
  int StatusCount(const std::string& text) const;
  std::string Path(const std::string& name) const { return (machine_.Root() / name).string(); }
  // Takes the wizard from its welcome page through the import of the file to the import's
  // finish page, with every page's own choices.
  static void ImportToFinishPage(platform::DialogDriver& d, const std::string& file);

  platform::ScriptedUiHost ui_;
  ScriptedProgressHost progress_;
  int opens_ = 0;
  bool refuse_directory_ = false;

 private:
  std::string saved_folder_;
};

}  // namespace tessary::testing
