#pragma once
// What the frame does with each page, by template id: the page's binding before its window
// exists, its check when Next leaves it, its own buttons, the filling of its list and tree
// views. The frame calls these from its hooks; each page's functions live in a file of its own.
// Absent entries do nothing (a page without a check lets Next go on).

#include "support/bvk_dialog.h"

namespace tessary::app {

class CTaskWizard;

struct PageHooks {
  // OnBeforeCreatePage: bind the controls, set task-dependent texts, prepare lists.
  void (*bind)(CTaskWizard& wizard, CBVKDialog& page) = nullptr;
  // After the window is shown (controls are filled); e.g. enabling controls by state.
  void (*shown)(CTaskWizard& wizard, CBVKDialog& page) = nullptr;
  // OnLeavePage with Next (values already copied back): true lets the page go.
  bool (*check)(CTaskWizard& wizard, CBVKDialog& page) = nullptr;
  // Back is pressed on this page, before it is deleted.
  void (*before_back)(CTaskWizard& wizard, CBVKDialog& page) = nullptr;
  // A push button of the page the frame has no rule for; true when handled.
  bool (*button)(CTaskWizard& wizard, CBVKDialog& page, int control_id) = nullptr;
  // A list view or tree view of the page is set up as its window opens.
  void (*fill_list)(CTaskWizard& wizard, CBVKDialog& page, int control_id) = nullptr;
  void (*fill_tree)(CTaskWizard& wizard, CBVKDialog& page, int control_id) = nullptr;
  void (*expand_tree)(CTaskWizard& wizard, CBVKDialog& page, int control_id, int item) = nullptr;
  void (*column_click)(CTaskWizard& wizard, CBVKDialog& page, int control_id, int column) = nullptr;
  // The person changed a value of the page (check, text, selection, row check).
  void (*value_changed)(CTaskWizard& wizard, CBVKDialog& page, int control_id) = nullptr;
};

// The hooks of the page with that template id; never null (a page without entry gets none).
const PageHooks& FindPageHooks(int template_id);

// The pages' hook tables, one per page file.
extern const PageHooks kTaskPageHooks;
extern const PageHooks kFinishPageHooks;
extern const PageHooks kObjectTypePageHooks;
extern const PageHooks kContainerPageHooks;
extern const PageHooks kAttributesPageHooks;
extern const PageHooks kOutputFilePageHooks;
extern const PageHooks kImportFilePageHooks;
extern const PageHooks kMailboxPageHooks;
extern const PageHooks kAccountSettingsPageHooks;
extern const PageHooks kVerifyColumnsPageHooks;
extern const PageHooks kErrorFolderPageHooks;

}  // namespace tessary::app
