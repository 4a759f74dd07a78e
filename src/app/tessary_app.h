#pragma once
// The application object: shows wizards one after the other for as long as the person asks for
// another task from a finish page; any other way out of a wizard ends the program.

#include "app/task_wizard.h"
#include "platform/ui/ui_host.h"

namespace tessary::app {

class CTessaryApp {
 public:
  explicit CTessaryApp(WizardEnvironment environment) : environment_(std::move(environment)) {}

  // Runs the wizards on host; returns the last wizard's result (kIdOk after Finish, kIdCancel,
  // -1 when the host cannot show a dialog).
  int Run(platform::UiHost& host);
  // How many wizards were shown.
  int WizardCount() const { return wizard_count_; }

 private:
  WizardEnvironment environment_;
  int wizard_count_ = 0;
};

}  // namespace tessary::app
