#include "app/dialog_templates.h"

#include <map>

#include "app/templates.h"

namespace tessary::app {
namespace {

std::map<int, platform::DialogTemplate> BuildTable() {
  std::map<int, platform::DialogTemplate> table;
  for (auto group : {FrameTemplates, TaskPageTemplates, DialogTemplates, ProgressTemplates}) {
    for (platform::DialogTemplate& dialog : group()) table.emplace(dialog.id, std::move(dialog));
  }
  return table;
}

}  // namespace

const platform::DialogTemplate* FindTemplate(int template_id) {
  // Built once, on first use; the templates live as long as the program.
  static const std::map<int, platform::DialogTemplate> table = BuildTable();
  auto found = table.find(template_id);
  return found == table.end() ? nullptr : &found->second;
}

}  // namespace tessary::app
