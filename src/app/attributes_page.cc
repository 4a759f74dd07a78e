// The attributes page of the export and header tasks: the attributes of the chosen class that
// the definition file names or that were chosen before, "&Show all attributes" for the rest,
// "&Use header file..." for those of an existing file, and the choice collected on leaving.
#include <algorithm>

#include "app/attribute_columns.h"
#include "app/control_ids.h"
#include "app/import_attributes_dialog.h"
#include "app/page_hooks.h"
#include "app/page_messages.h"
#include "app/task_wizard.h"
#include "export/definition_files.h"

namespace tessary::app {
namespace {

using Kind = CBVKDialog::Kind;

// Attributes no export can read: the directory computes them only for one object read alone.
constexpr const char* kNeverOffered[] = {"tokenGroups", "tokenGroupsGlobalAndUniversal",
                                         "tokenGroupsNoGCAcceptable"};

struct PageTexts {
  const char* question;
  const char* list_line;
  const char* note;
  const char* nothing_chosen;
};

constexpr PageTexts kExportTexts{
    "Which attributes do you want to export?",
    "Select the attributes you would like to export for each object:",
    "Note: The 'objectGUID' and 'distinguishedName' attributes will automatically be exported as "
    "the first two columns.",
    "Note: You have not selected any attributes.\nThe export file will only contain the "
    "distinguished name and object GUID for each object."};
constexpr PageTexts kHeaderTexts{
    "Which attributes do you want to include in your header file?",
    "Select the attributes you would like to include in your header file:",
    "Note: The 'objectGUID' and 'distinguishedName' attributes will automatically be the first "
    "two columns.",
    "Note: You have not selected any attributes.\nThe export file will only contain the "
    "distinguished name and object GUID column headers."};

const PageTexts& TextsOf(const CTaskWizard& wizard) {
  return wizard.task == CTaskWizard::kHeaderTask ? kHeaderTexts : kExportTexts;
}

std::int32_t Enumerate(CTaskWizard& wizard, const std::function<bool()>& load) {
  const std::int32_t loaded = wizard.RunEnumeration(
      "Enumerating attributes...", [&load](CBVKProgressDlg&) { return load() ? 1 : 0; });
  if (loaded != 1) ShowNote(wizard, wizard.Domain().Error());
  return loaded;
}

// The class's attributes, or every attribute of the schema when those cannot be read.
void PrepareAttributes(CTaskWizard& wizard) {
  CExDomain& domain = wizard.Domain();
  if (domain.SchemaAttributes.empty() &&
      Enumerate(wizard, [&] { return domain.LoadClassAttributes(wizard.ExportClass); }) != 1) {
    domain.ClearSchemaAttributes();
    (void)Enumerate(wizard, [&] { return domain.LoadSchemaAttributes(); });
  }
  for (const char* name : kNeverOffered) domain.RemoveAttribute(name);
}

void BindAttributesPage(CTaskWizard& wizard, CBVKDialog& page) {
  const PageTexts& texts = TextsOf(wizard);
  page.AddControl(Kind::kStatic, kIdQuestion, texts.question);
  page.AddControl(Kind::kStatic, kIdPageText1, texts.list_line);
  page.AddControl(Kind::kStatic, kIdPageText2, texts.note);
  PrepareAttributes(wizard);
  page.AddControl(Kind::kListView, kIdAttributeList);
  for (int button : {kIdShowAll, kIdSelectAll, kIdDeselectAll, kIdUseHeaderFile}) {
    page.AddControl(Kind::kPushButton, button);
  }
}

// The list hook: the definition file's attributes and those chosen before, the latter checked.
void FillAttributeList(CTaskWizard& wizard, CBVKDialog& page, int control_id) {
  if (control_id != kIdAttributeList) return;
  CBVKListCtrl& list = wizard.AttributeList;
  list.Attach(page, control_id);
  SetUpAttributeColumns(list, AttributeChecks::kWith);
  const std::vector<std::string> chosen = wizard.SelectedAttributeNames;
  wizard.AttributeMap.clear();
  ReadAttributeDefinitions(wizard.Domain(),
                           DefinitionFilePath(wizard.ProgramFolder, kAttributeDefinitionsFileName),
                           chosen, &wizard.AttributeMap);
  for (const auto& [admin_name, record] : wizard.AttributeMap) {
    const bool checked = std::find(chosen.begin(), chosen.end(), admin_name) != chosen.end();
    list.AddRow({admin_name, record->LDAPDisplayName}, 0, checked);
  }
  SortByDisplayName(list);
}

void ShowAllAttributes(CTaskWizard& wizard, CBVKDialog& page) {
  for (const auto& attribute : wizard.Domain().SchemaAttributes) {
    if (attribute->LDAPDisplayName.empty()) continue;
    if (wizard.AttributeMap.count(attribute->AdminDisplayName)) continue;
    wizard.AttributeList.AddRow({attribute->AdminDisplayName, attribute->LDAPDisplayName});
  }
  page.EnableControl(kIdShowAll, false);
  SortByDisplayName(wizard.AttributeList);
}

// The attributes of existing files, checked; those the class lacks are left out.
void UseHeaderFile(CTaskWizard& wizard, CBVKDialog& page) {
  CImportAttributesDlg dialog(page, wizard.Domain());
  if (dialog.DoModal() != platform::kIdOk) return;
  CBVKListCtrl& list = wizard.AttributeList;
  for (const CImportColumn& attribute : dialog.Attributes()) {
    std::string admin_name = attribute.AdminDisplayName;
    std::string ldap_name = attribute.Name;
    if (!wizard.AttributeMap.count(admin_name)) {
      CBVKADSchemaObject* found = wizard.Domain().FindAttributeByLDAPName(attribute.Name);
      if (!found) continue;
      admin_name = found->AdminDisplayName;
      ldap_name = found->LDAPDisplayName;
      wizard.AttributeMap[admin_name] = found;
    }
    int row = list.FindRow(0, admin_name);
    if (row < 0) row = list.AddRow({admin_name, ldap_name});
    list.SetChecked(row, true);
  }
}

bool AttributesButton(CTaskWizard& wizard, CBVKDialog& page, int control_id) {
  switch (control_id) {
    case kIdShowAll:
      ShowAllAttributes(wizard, page);
      return true;
    case kIdSelectAll:
    case kIdDeselectAll:
      wizard.AttributeList.CheckAll(control_id == kIdSelectAll);
      return true;
    case kIdUseHeaderFile:
      UseHeaderFile(wizard, page);
      return true;
    default:
      return false;
  }
}

// The checked rows become the task's columns.
void CollectSelection(CTaskWizard& wizard) {
  CBVKListCtrl& list = wizard.AttributeList;
  wizard.SelectedAttributes.clear();
  wizard.SelectedAttributeNames.clear();
  for (int row = 0; row < list.RowCount(); ++row) {
    if (!list.IsChecked(row)) continue;
    wizard.SelectedAttributes.push_back(list.RowText(row, 1));
    wizard.SelectedAttributeNames.push_back(list.RowText(row, 0));
    if (CBVKADSchemaObject* found = wizard.Domain().FindAttributeByLDAPName(list.RowText(row, 1))) {
      wizard.AttributeMap[found->AdminDisplayName] = found;
    }
  }
}

bool LeaveAttributesPage(CTaskWizard& wizard, CBVKDialog&) {
  CollectSelection(wizard);
  if (wizard.SelectedAttributes.empty()) ShowNote(wizard, TextsOf(wizard).nothing_chosen);
  return true;
}

// Back keeps the choice; it runs nothing yet, so there is nothing to note.
void BeforeBack(CTaskWizard& wizard, CBVKDialog&) { CollectSelection(wizard); }

void ColumnClick(CTaskWizard& wizard, CBVKDialog&, int control_id, int column) {
  if (control_id == kIdAttributeList) wizard.AttributeList.OnColumnClick(column);
}

}  // namespace

const PageHooks kAttributesPageHooks{.bind = BindAttributesPage,
                                     .check = LeaveAttributesPage,
                                     .before_back = BeforeBack,
                                     .button = AttributesButton,
                                     .fill_list = FillAttributeList,
                                     .column_click = ColumnClick};

}  // namespace tessary::app
