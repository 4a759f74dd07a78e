#include "app/page_hooks.h"

#include <map>

#include "app/control_ids.h"

namespace tessary::app {

const PageHooks& FindPageHooks(int template_id) {
  static const PageHooks none{};
  static const std::map<int, const PageHooks*> table{
      {kTaskPage, &kTaskPageHooks},
      {kFinishPage, &kFinishPageHooks},
      {kImportFinishPage, &kFinishPageHooks},
  };
  auto found = table.find(template_id);
  return found == table.end() ? none : *found->second;
}

}  // namespace tessary::app
