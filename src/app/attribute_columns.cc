#include "app/attribute_columns.h"

#include "platform/ui/dialog_template.h"

namespace tessary::app {
namespace {

constexpr int kColumnWidth = 200;

}  // namespace

void SetUpAttributeColumns(CBVKListCtrl& list, AttributeChecks checks) {
  list.InsertColumn("Display Name", kColumnWidth);
  list.InsertColumn("LDAP Name", kColumnWidth);
  list.SetStyle(platform::kStyleFullRow, true);
  const bool with = checks == AttributeChecks::kWith;
  list.SetStyle(platform::kStyleCheckBoxes, with);
  list.SetStyle(platform::kStyleSingleSelect, with);
}

void SortByDisplayName(CBVKListCtrl& list) { list.SortByColumn(0, true); }

}  // namespace tessary::app
