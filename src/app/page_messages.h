#pragma once
// The pages' message boxes, owned by the wizard's frame: stop for what keeps a page, the
// exclamation icon for notes and for enumerations that failed without stopping the page.

#include <string>

#include "app/task_wizard.h"

namespace tessary::app {

void ShowStop(CTaskWizard& wizard, const std::string& text);
void ShowNote(CTaskWizard& wizard, const std::string& text);
// An object's error record, with the icon, owned by the frame.
void ShowStop(CTaskWizard& wizard, CBVKError& error);
void ShowNote(CTaskWizard& wizard, CBVKError& error);

}  // namespace tessary::app
