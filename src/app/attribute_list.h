#pragma once
// The rows of an attribute list view: admin display name and LDAP name, a check box each, and
// the order the user last asked for by clicking a column header. The attributes page checks the
// rows it exports; the verify-columns page of an import shows the same two columns unchecked.

#include <string>
#include <vector>

namespace tessary {

struct AttributeRow {
  std::string AdminDisplayName;  // column 0
  std::string LDAPName;          // column 1
  bool Checked = false;
};

class CAttributeList {
 public:
  static constexpr int kDisplayNameColumn = 0;
  static constexpr int kLDAPNameColumn = 1;

  const std::vector<AttributeRow>& Rows() const { return rows_; }
  int Count() const { return static_cast<int>(rows_.size()); }
  void Clear();

  // The row of this admin display name, or -1.
  int Find(const std::string& admin_display_name) const;
  // Appends a row unless one of that admin display name exists; returns the row's index.
  int Add(const std::string& admin_display_name, const std::string& ldap_name, bool checked);

  void SetChecked(int row, bool checked);
  void CheckAll(bool checked);

  // Ascending by the column's text, without regard to case.
  void SortBy(int column);
  // A click on a column header: a new column sorts ascending, the same column again reverses.
  void ClickColumn(int column);
  int SortColumn() const { return sort_column_; }
  bool Ascending() const { return ascending_; }

  // The checked rows' LDAP names and admin display names, in row order.
  void CheckedNames(std::vector<std::string>* ldap_names,
                    std::vector<std::string>* admin_display_names) const;

 private:
  void Sort();

  std::vector<AttributeRow> rows_;
  int sort_column_ = kDisplayNameColumn;
  bool ascending_ = true;
};

}  // namespace tessary
