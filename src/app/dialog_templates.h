#pragma once
// Every dialog of the wizard as data: the frame, its pages, the dialogs the pages open and the
// progress dialogs. Hosts render them; the frame and pages bind to them.

#include "platform/ui/dialog_template.h"

namespace tessary::app {

// The template with that id, or nullptr.
const platform::DialogTemplate* FindTemplate(int template_id);

}  // namespace tessary::app
