#include "platform/ui/dialog_template.h"

namespace tessary::platform {

const ControlTemplate* DialogTemplate::Find(int control_id) const {
  for (const ControlTemplate& control : controls) {
    if (control.id == control_id) return &control;
  }
  return nullptr;
}

}  // namespace tessary::platform
