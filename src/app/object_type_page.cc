// The object type page: the classes the definition file names (or the five common ones), the
// class chosen, and "&Select a different type of object..." for any other class of the schema.
#include "app/control_ids.h"
#include "app/dialog_templates.h"
#include "app/page_hooks.h"
#include "app/page_messages.h"
#include "app/task_wizard.h"
#include "export/definition_files.h"

namespace tessary::app {
namespace {

using Kind = CBVKDialog::Kind;

constexpr const char* kHeaderInstruction =
    "Select the type of object you would like to create a header file for, and then click Next.";

// Dialog 136: every class of the schema; OK needs one chosen.
class COtherClassDialog : public CBVKDialog {
 public:
  COtherClassDialog(CBVKDialog& parent, const CExDomain& domain)
      : CBVKDialog(*FindTemplate(kOtherClassDialog), &parent) {
    std::vector<std::string> names;
    for (const auto& schema_class : domain.SchemaClasses) {
      names.push_back(schema_class->AdminDisplayName);
    }
    SetLines(kIdList, names);
    AddControl(Kind::kListBox, kIdList, Choice);
  }

  std::string Choice;

 protected:
  void OnButtonPressed(CBVKDialog& source, int control_id) override {
    if (control_id == platform::kIdOk) {
      UpdateData(Direction::kFromControls);
      if (Choice.empty()) {
        Error().SetText(
            "Please select the type of object you want to export.\nIf you do not want to select "
            "any of these object types, click 'Cancel'");
        (void)Error().ShowError();
        return;
      }
    }
    CBVKDialog::OnButtonPressed(source, control_id);
  }
};

// The class list is read once per wizard, and with it the classes the definition file offers.
void PrepareObjectTypes(CTaskWizard& wizard) {
  CExDomain& domain = wizard.Domain();
  if (!domain.SchemaClasses.empty()) return;
  const std::int32_t loaded = wizard.RunEnumeration(
      "Enumerating classes...", [&domain](CBVKProgressDlg&) { return domain.LoadSchemaClasses() ? 1 : 0; });
  if (loaded != 1) ShowNote(wizard, domain.Error());
  ReadObjectTypes(domain, DefinitionFilePath(wizard.ProgramFolder, kObjectTypesFileName),
                  &wizard.ObjectTypes);
}

void BindObjectTypePage(CTaskWizard& wizard, CBVKDialog& page) {
  if (wizard.task == CTaskWizard::kHeaderTask) {
    page.AddControl(Kind::kStatic, kIdInstruction, kHeaderInstruction);
  }
  PrepareObjectTypes(wizard);
  std::vector<std::string> names;
  for (const auto& [admin_name, record] : wizard.ObjectTypes) names.push_back(admin_name);
  page.SetLines(kIdList, names);
  // The page works on a copy, so that Back leaves the class in force untouched.
  wizard.ObjectTypeChoice = wizard.ExportClass;
  page.AddControl(Kind::kListBox, kIdList, wizard.ObjectTypeChoice);
  page.AddControl(Kind::kPushButton, kIdOtherClass);
}

bool LeaveObjectTypePage(CTaskWizard& wizard, CBVKDialog&) {
  const std::string& choice = wizard.ObjectTypeChoice;
  if (wizard.task == CTaskWizard::kExportTask && choice.empty()) {
    ShowStop(wizard, "You must select the type of object to export.");
    return false;
  }
  // Another class has other attributes: the attributes page reads them anew. The header task
  // does so too, or its page would offer the attributes of the class chosen before.
  if (!choice.empty() && choice != wizard.ExportClass) wizard.Domain().ClearSchemaAttributes();
  wizard.ExportClass = choice;
  return true;
}

bool ObjectTypeButton(CTaskWizard& wizard, CBVKDialog& page, int control_id) {
  if (control_id != kIdOtherClass) return false;
  COtherClassDialog dialog(page, wizard.Domain());
  if (dialog.DoModal() != platform::kIdOk) return true;
  CBVKADSchemaObject* found = wizard.Domain().FindClassByAdminName(dialog.Choice);
  if (!found) return true;
  wizard.ObjectTypes[found->AdminDisplayName] = found;
  // At the top and chosen, as the person asked for it; the list is not sorted again.
  page.InsertLine(kIdList, 0, found->AdminDisplayName);
  page.SelectLine(kIdList, 0);
  return true;
}

}  // namespace

const PageHooks kObjectTypePageHooks{
    .bind = BindObjectTypePage, .check = LeaveObjectTypePage, .button = ObjectTypeButton};

}  // namespace tessary::app
