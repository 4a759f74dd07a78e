#include "app/attribute_list.h"

#include <algorithm>

#include "support/unicode_fold.h"

namespace tessary {
namespace {

const std::string& ColumnText(const AttributeRow& row, int column) {
  return column == CAttributeList::kLDAPNameColumn ? row.LDAPName : row.AdminDisplayName;
}

}  // namespace

void CAttributeList::Clear() {
  rows_.clear();
  sort_column_ = kDisplayNameColumn;
  ascending_ = true;
}

int CAttributeList::Find(const std::string& admin_display_name) const {
  for (int i = 0; i < Count(); ++i) {
    if (rows_[i].AdminDisplayName == admin_display_name) return i;
  }
  return -1;
}

int CAttributeList::Add(const std::string& admin_display_name, const std::string& ldap_name,
                        bool checked) {
  const int found = Find(admin_display_name);
  if (found >= 0) return found;
  rows_.push_back({admin_display_name, ldap_name, checked});
  return Count() - 1;
}

void CAttributeList::SetChecked(int row, bool checked) {
  if (row >= 0 && row < Count()) rows_[row].Checked = checked;
}

void CAttributeList::CheckAll(bool checked) {
  for (AttributeRow& row : rows_) row.Checked = checked;
}

void CAttributeList::SortBy(int column) {
  sort_column_ = column;
  ascending_ = true;
  Sort();
}

void CAttributeList::ClickColumn(int column) {
  if (column == sort_column_) {
    ascending_ = !ascending_;
  } else {
    sort_column_ = column;
    ascending_ = true;
  }
  Sort();
}

void CAttributeList::Sort() {
  // Each text is folded once rather than at every comparison: "Show all" lists the whole schema.
  std::vector<std::pair<std::string, AttributeRow>> keyed;
  keyed.reserve(rows_.size());
  for (AttributeRow& row : rows_) {
    keyed.emplace_back(FoldCase(ColumnText(row, sort_column_)), std::move(row));
  }
  const bool ascending = ascending_;
  // Stable, so rows whose texts compare equal keep the order they were listed in.
  std::stable_sort(keyed.begin(), keyed.end(), [ascending](const auto& a, const auto& b) {
    return ascending ? a.first < b.first : b.first < a.first;
  });
  rows_.clear();
  for (auto& [key, row] : keyed) rows_.push_back(std::move(row));
}

void CAttributeList::CheckedNames(std::vector<std::string>* ldap_names,
                                  std::vector<std::string>* admin_display_names) const {
  ldap_names->clear();
  admin_display_names->clear();
  for (const AttributeRow& row : rows_) {
    if (!row.Checked) continue;
    ldap_names->push_back(row.LDAPName);
    admin_display_names->push_back(row.AdminDisplayName);
  }
}

}  // namespace tessary
