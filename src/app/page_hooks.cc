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
      {kObjectTypePage, &kObjectTypePageHooks},
      {kContainerPage, &kContainerPageHooks},
      {kAttributesPage, &kAttributesPageHooks},
      {kOutputFilePage, &kOutputFilePageHooks},
      {kImportFilePage, &kImportFilePageHooks},
      {kMailboxPage, &kMailboxPageHooks},
      {kAccountSettingsPage, &kAccountSettingsPageHooks},
      {kVerifyColumnsPage, &kVerifyColumnsPageHooks},
      {kErrorFolderPage, &kErrorFolderPageHooks},
  };
  auto found = table.find(template_id);
  return found == table.end() ? none : *found->second;
}

}  // namespace tessary::app
