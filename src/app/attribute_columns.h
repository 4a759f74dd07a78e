#pragma once
// The attribute list views of the attributes page (1018) and the verify columns page (1079):
// display name and LDAP name, sorted by display name until a column header is clicked.

#include <string>

#include "support/bvk_list_ctrl.h"

namespace tessary::app {

enum class AttributeChecks { kWith, kWithout };

// The two columns and the style: a check box per row and one row selected at a time, or (for
// the import's columns) no check boxes and any rows selected.
void SetUpAttributeColumns(CBVKListCtrl& list, AttributeChecks checks);
// Sorted ascending by display name.
void SortByDisplayName(CBVKListCtrl& list);

}  // namespace tessary::app
