#include "support/bvk_list_ctrl.h"

#include <algorithm>

#include "support/unicode_fold.h"

namespace tessary {

void CBVKListCtrl::Attach(CBVKDialog& dialog, int control_id) {
  dialog_ = &dialog;
  control_id_ = control_id;
  sort_column_ = -1;
  sort_ascending_ = true;
}

void CBVKListCtrl::Detach() { dialog_ = nullptr; }

platform::ControlState* CBVKListCtrl::State() const {
  return dialog_ ? dialog_->MutableState(control_id_) : nullptr;
}

void CBVKListCtrl::SetStyle(std::uint32_t style, bool on) {
  if (dialog_) dialog_->SetControlStyle(control_id_, style, on);
}

void CBVKListCtrl::InsertColumn(const std::string& text, int width) {
  if (platform::ControlState* state = State()) {
    state->columns.push_back({text, width});
    dialog_->Changed(control_id_);
  }
}

int CBVKListCtrl::AddRow(const std::vector<std::string>& texts, std::intptr_t data, bool checked) {
  platform::ControlState* state = State();
  if (!state) return -1;
  platform::ListRow row;
  row.texts = texts;
  row.texts.resize(std::max<std::size_t>(state->columns.size(), std::max<std::size_t>(texts.size(), 1)));
  row.data = data;
  row.checked = checked;
  state->rows.push_back(std::move(row));
  dialog_->Changed(control_id_);
  return static_cast<int>(state->rows.size()) - 1;
}

void CBVKListCtrl::DeleteAllRows() {
  if (platform::ControlState* state = State()) {
    state->rows.clear();
    state->selection = -1;
    dialog_->Changed(control_id_);
  }
}

int CBVKListCtrl::RowCount() const {
  const platform::ControlState* state = State();
  return state ? static_cast<int>(state->rows.size()) : 0;
}

std::string CBVKListCtrl::RowText(int row, int column) const {
  const platform::ControlState* state = State();
  if (!state || row < 0 || row >= RowCount()) return {};
  const std::vector<std::string>& texts = state->rows[row].texts;
  return column >= 0 && column < static_cast<int>(texts.size()) ? texts[column] : std::string();
}

std::intptr_t CBVKListCtrl::RowData(int row) const {
  const platform::ControlState* state = State();
  return state && row >= 0 && row < RowCount() ? state->rows[row].data : 0;
}

bool CBVKListCtrl::IsChecked(int row) const {
  const platform::ControlState* state = State();
  return state && row >= 0 && row < RowCount() && state->rows[row].checked;
}

void CBVKListCtrl::SetChecked(int row, bool checked) {
  platform::ControlState* state = State();
  if (!state || row < 0 || row >= RowCount()) return;
  state->rows[row].checked = checked;
  dialog_->Changed(control_id_);
}

void CBVKListCtrl::CheckAll(bool checked) {
  platform::ControlState* state = State();
  if (!state) return;
  for (platform::ListRow& row : state->rows) row.checked = checked;
  dialog_->Changed(control_id_);
}

std::vector<int> CBVKListCtrl::SelectedRows() const {
  std::vector<int> rows;
  if (const platform::ControlState* state = State()) {
    for (std::size_t i = 0; i < state->rows.size(); ++i) {
      if (state->rows[i].selected) rows.push_back(static_cast<int>(i));
    }
  }
  return rows;
}

int CBVKListCtrl::FindRow(int column, const std::string& text) const {
  for (int row = 0; row < RowCount(); ++row) {
    if (EqualsFolded(RowText(row, column), text)) return row;
  }
  return -1;
}

void CBVKListCtrl::SortByColumn(int column, bool ascending) {
  platform::ControlState* state = State();
  if (!state) return;
  auto key = [column](const platform::ListRow& row) {
    return column >= 0 && column < static_cast<int>(row.texts.size()) ? FoldCase(row.texts[column])
                                                                       : std::string();
  };
  std::stable_sort(state->rows.begin(), state->rows.end(),
                   [&](const platform::ListRow& a, const platform::ListRow& b) {
                     return ascending ? key(a) < key(b) : key(b) < key(a);
                   });
  sort_column_ = column;
  sort_ascending_ = ascending;
  dialog_->Changed(control_id_);
}

void CBVKListCtrl::OnColumnClick(int column) {
  SortByColumn(column, column == sort_column_ ? !sort_ascending_ : true);
}

}  // namespace tessary
