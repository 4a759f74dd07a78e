// The verify import columns page: the import file's columns, and whether multi-valued
// attributes get the file's values added or replaced.
#include <map>

#include "app/attribute_columns.h"
#include "app/control_ids.h"
#include "app/page_hooks.h"
#include "app/task_wizard.h"

namespace tessary::app {
namespace {

using Kind = CBVKDialog::Kind;

void BindVerifyColumnsPage(CTaskWizard& wizard, CBVKDialog& page) {
  page.AddControl(Kind::kListView, kIdColumnList);
  page.AddRadio(kIdAppendValues, wizard.Engine().MultiValueMode, 0);
  page.AddRadio(kIdOverwriteValues, wizard.Engine().MultiValueMode, 1);
}

void FillColumnList(CTaskWizard& wizard, CBVKDialog& page, int control_id) {
  if (control_id != kIdColumnList) return;
  CBVKListCtrl& list = wizard.AttributeList;
  list.Attach(page, control_id);
  SetUpAttributeColumns(list, AttributeChecks::kWithout);
  std::map<std::string, const CImportColumn*> columns;
  wizard.Engine().MapColumns(columns);
  for (const auto& [admin_name, column] : columns) list.AddRow({admin_name, column->Name});
  SortByDisplayName(list);
}

void ColumnClick(CTaskWizard& wizard, CBVKDialog&, int control_id, int column) {
  if (control_id == kIdColumnList) wizard.AttributeList.OnColumnClick(column);
}

}  // namespace

const PageHooks kVerifyColumnsPageHooks{
    .bind = BindVerifyColumnsPage, .fill_list = FillColumnList, .column_click = ColumnClick};

}  // namespace tessary::app
