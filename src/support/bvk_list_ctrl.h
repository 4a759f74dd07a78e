#pragma once
// The list-view wrapper: columns, rows with check boxes and item data, and sorting by a column,
// on a list view control of a CBVKDialog. The rows live in the dialog's control state, so the
// host shows every change at once.

#include <cstdint>
#include <string>
#include <vector>

#include "support/bvk_dialog.h"

namespace tessary {

class CBVKListCtrl {
 public:
  // Works on control_id of dialog until attached elsewhere; a wrapper never attached does nothing.
  void Attach(CBVKDialog& dialog, int control_id);
  void Detach();
  bool IsAttached() const { return dialog_ != nullptr; }
  // The dialog worked on, or nullptr.
  const CBVKDialog* Dialog() const { return dialog_; }

  // Style bits of platform::ControlStyle (check boxes, single selection, full row, no header).
  void SetStyle(std::uint32_t style, bool on);
  void InsertColumn(const std::string& text, int width);
  // Appends a row with the texts of its columns; returns its index.
  int AddRow(const std::vector<std::string>& texts, std::intptr_t data = 0, bool checked = false);
  void DeleteAllRows();
  int RowCount() const;
  std::string RowText(int row, int column) const;
  std::intptr_t RowData(int row) const;
  bool IsChecked(int row) const;
  void SetChecked(int row, bool checked);
  void CheckAll(bool checked);
  // Indexes of the selected rows, in row order.
  std::vector<int> SelectedRows() const;
  // The index of the row whose text in column equals text (case-blind), or -1.
  int FindRow(int column, const std::string& text) const;

  // Sorts the rows by column, case-blind, ascending or descending.
  void SortByColumn(int column, bool ascending);
  // A click on a column header: sorts ascending by a new column, reverses on the same column.
  void OnColumnClick(int column);

 private:
  platform::ControlState* State() const;

  CBVKDialog* dialog_ = nullptr;
  int control_id_ = 0;
  int sort_column_ = -1;
  bool sort_ascending_ = true;
};

}  // namespace tessary
