#pragma once
// The template tables, one function per group; dialog_templates.cc indexes them by id.

#include <vector>

#include "platform/ui/dialog_template.h"

namespace tessary::app {

std::vector<platform::DialogTemplate> FrameTemplates();     // frame, welcome and finish pages
std::vector<platform::DialogTemplate> TaskPageTemplates();  // the pages between them
std::vector<platform::DialogTemplate> DialogTemplates();    // dialogs the pages open
std::vector<platform::DialogTemplate> ProgressTemplates();

}  // namespace tessary::app
