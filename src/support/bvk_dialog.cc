#include "support/bvk_dialog.h"

#include <algorithm>

#include "support/unicode_fold.h"

namespace tessary {
namespace {

// Lists compare their lines without regard to case, as a person reading them does.
bool LessBlind(const std::string& a, const std::string& b) {
  return FoldCase(a) < FoldCase(b);
}

bool StartsBlind(const std::string& line, const std::string& prefix) {
  const std::string folded_line = FoldCase(line);
  const std::string folded_prefix = FoldCase(prefix);
  return folded_line.compare(0, folded_prefix.size(), folded_prefix) == 0;
}

}  // namespace

CBVKDialog::CBVKDialog(const platform::DialogTemplate& dialog_template, CBVKDialog* parent,
                       Page page)
    : template_(dialog_template), parent_(parent), page_(page) {
  owner_.title = dialog_template.caption;
  for (const platform::ControlTemplate& control : template_.controls) {
    if (control.id == -1 || states_.count(control.id)) continue;
    platform::ControlState& state = states_[control.id];
    state.style = control.style;
    if (control.kind == platform::ControlKind::kTreeView) state.selection = 0;
    if (control.kind != platform::ControlKind::kListBox &&
        control.kind != platform::ControlKind::kDropDownList) {
      state.text = control.text;
    }
  }
  error_.SetOwner(&owner_);
}

CBVKDialog::~CBVKDialog() = default;

void CBVKDialog::AddBinding(const Binding& binding) {
  if (!template_.Find(binding.id)) return;
  bindings_.push_back(binding);
}

void CBVKDialog::AddControl(Kind kind, int control_id) { AddBinding({kind, control_id}); }

void CBVKDialog::AddControl(Kind kind, int control_id, const std::string& static_text) {
  AddBinding({kind, control_id});
  SetControlText(control_id, static_text);
}

void CBVKDialog::AddControl(Kind kind, int control_id, bool& flag) {
  Binding binding{kind, control_id};
  binding.flag = &flag;
  AddBinding(binding);
}

void CBVKDialog::AddControl(Kind kind, int control_id, std::string& text) {
  Binding binding{kind, control_id};
  binding.text = &text;
  AddBinding(binding);
}

void CBVKDialog::AddRadio(int control_id, int& variable, int value) {
  Binding binding{Kind::kRadioButton, control_id};
  binding.number = &variable;
  binding.value = value;
  AddBinding(binding);
}

void CBVKDialog::AddRadio(int control_id, bool& variable, bool value) {
  Binding binding{Kind::kRadioButton, control_id};
  binding.flag = &variable;
  binding.value = value ? 1 : 0;
  AddBinding(binding);
}

void CBVKDialog::AddPicker(int button_id, int edit_id, Picker picker) {
  if (!template_.Find(button_id)) return;
  AddBinding({Kind::kPushButton, button_id});
  pickers_[button_id] = {edit_id, picker};
}

void CBVKDialog::UpdateData(Direction direction) {
  for (const Binding& binding : bindings_) {
    platform::ControlState* state = MutableState(binding.id);
    if (!state) continue;
    const bool in = direction == Direction::kToControls;
    switch (binding.kind) {
      case Kind::kCheckBox:
        if (in) {
          SetCheck(binding.id, *binding.flag);
        } else {
          *binding.flag = state->checked;
        }
        break;
      case Kind::kRadioButton: {
        const int current = binding.number ? *binding.number : (*binding.flag ? 1 : 0);
        if (in) {
          SetCheck(binding.id, current == binding.value);
        } else if (state->checked) {
          if (binding.number) {
            *binding.number = binding.value;
          } else {
            *binding.flag = binding.value != 0;
          }
        }
        break;
      }
      case Kind::kEdit:
        if (in) {
          SetControlText(binding.id, *binding.text);
        } else {
          *binding.text = state->text;
        }
        break;
      case Kind::kListBox:
      case Kind::kDropDownList:
        if (in) {
          SelectByPrefix(binding.id, *binding.text);
        } else {
          const int line = state->selection;
          *binding.text = line >= 0 && line < static_cast<int>(state->rows.size())
                              ? state->rows[line].texts[0]
                              : std::string();
        }
        break;
      default:
        break;
    }
  }
}

void CBVKDialog::SelectByPrefix(int control_id, const std::string& text) {
  const std::vector<std::string> lines = Lines(control_id);
  int chosen = lines.empty() ? -1 : 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (StartsBlind(lines[i], text)) {
      chosen = static_cast<int>(i);
      break;
    }
  }
  SelectLine(control_id, chosen);
}

const platform::ControlState* CBVKDialog::State(int control_id) const {
  auto found = states_.find(control_id);
  return found == states_.end() ? nullptr : &found->second;
}

platform::ControlState* CBVKDialog::MutableState(int control_id) {
  auto found = states_.find(control_id);
  return found == states_.end() ? nullptr : &found->second;
}

void CBVKDialog::Changed(int control_id) {
  if (window_) window_->ControlChanged(control_id);
}

void CBVKDialog::SetControlText(int control_id, const std::string& text) {
  if (platform::ControlState* state = MutableState(control_id)) {
    state->text = text;
    Changed(control_id);
  }
}

std::string CBVKDialog::ControlText(int control_id) const {
  const platform::ControlState* state = State(control_id);
  return state ? state->text : std::string();
}

void CBVKDialog::EnableControl(int control_id, bool enable) {
  if (platform::ControlState* state = MutableState(control_id)) {
    state->enabled = enable;
    Changed(control_id);
  }
}

bool CBVKDialog::IsControlEnabled(int control_id) const {
  const platform::ControlState* state = State(control_id);
  return state && state->enabled;
}

void CBVKDialog::ShowControl(int control_id, bool show) {
  if (platform::ControlState* state = MutableState(control_id)) {
    state->visible = show;
    Changed(control_id);
  }
}

void CBVKDialog::SetCheck(int control_id, bool checked) {
  if (platform::ControlState* state = MutableState(control_id)) {
    state->checked = checked;
    Changed(control_id);
  }
}

bool CBVKDialog::IsChecked(int control_id) const {
  const platform::ControlState* state = State(control_id);
  return state && state->checked;
}

void CBVKDialog::SetControlStyle(int control_id, std::uint32_t style, bool on) {
  if (platform::ControlState* state = MutableState(control_id)) {
    state->style = on ? (state->style | style) : (state->style & ~style);
    Changed(control_id);
  }
}

void CBVKDialog::SortLines(platform::ControlState& state) {
  if (!(state.style & platform::kStyleSorted)) return;
  std::stable_sort(state.rows.begin(), state.rows.end(),
                   [](const platform::ListRow& a, const platform::ListRow& b) {
                     return LessBlind(a.texts[0], b.texts[0]);
                   });
}

void CBVKDialog::SetLines(int control_id, const std::vector<std::string>& lines) {
  platform::ControlState* state = MutableState(control_id);
  if (!state) return;
  state->rows.clear();
  for (const std::string& line : lines) state->rows.push_back({{line}});
  SortLines(*state);
  state->selection = -1;
  Changed(control_id);
}

void CBVKDialog::InsertLine(int control_id, int index, const std::string& line) {
  platform::ControlState* state = MutableState(control_id);
  if (!state) return;
  index = std::clamp(index, 0, static_cast<int>(state->rows.size()));
  state->rows.insert(state->rows.begin() + index, platform::ListRow{{line}});
  if (state->selection >= index) ++state->selection;
  Changed(control_id);
}

void CBVKDialog::SelectLine(int control_id, int index) {
  platform::ControlState* state = MutableState(control_id);
  if (!state) return;
  state->selection = index >= 0 && index < static_cast<int>(state->rows.size()) ? index : -1;
  Changed(control_id);
}

int CBVKDialog::SelectedLine(int control_id) const {
  const platform::ControlState* state = State(control_id);
  return state ? state->selection : -1;
}

std::vector<std::string> CBVKDialog::Lines(int control_id) const {
  std::vector<std::string> lines;
  if (const platform::ControlState* state = State(control_id)) {
    for (const platform::ListRow& row : state->rows) lines.push_back(row.texts[0]);
  }
  return lines;
}

int CBVKDialog::DoModal(platform::UiHost& host) {
  return host.RunModalDialog(*this, parent_ ? &parent_->Owner() : nullptr);
}

void CBVKDialog::EndDialog(int result) {
  if (window_) window_->EndModal(result);
}

void CBVKDialog::SetTitle(const std::string& title) {
  owner_.title = title;
  if (window_) window_->TitleChanged();
}

void CBVKDialog::OnInitDialog(platform::DialogWindow& window) {
  window_ = &window;
  UpdateData(Direction::kToControls);
  CBVKDialog& handler = Handler();
  for (const Binding& binding : bindings_) {
    if (binding.kind == Kind::kListView) handler.OnFillList(*this, binding.id);
    if (binding.kind == Kind::kTreeView) handler.OnFillTree(*this, binding.id);
  }
  OnInitialized();
}

void CBVKDialog::OnDestroyWindow() { window_ = nullptr; }

void CBVKDialog::OnButton(int control_id) {
  auto picker = pickers_.find(control_id);
  if (picker != pickers_.end()) {
    RunPicker(control_id, picker->second);
    return;
  }
  // The page takes no input while its button is handled; the frame may end and destroy the
  // window meanwhile, so the window is looked at again afterwards.
  platform::DialogWindow* window = window_;
  if (window) window->SetBusy(true);
  Handler().OnButtonPressed(*this, control_id);
  if (window_ && window_ == window) window_->SetBusy(false);
}

void CBVKDialog::RunPicker(int, const PickerBinding& picker) {
  platform::UiHost& host = platform::CurrentUiHost();
  const std::string current = ControlText(picker.edit_id);
  std::optional<std::string> chosen;
  if (picker.picker == Picker::kFolder) {
    chosen = folder_browser_ ? folder_browser_(current) : host.ChooseFolder("Browse", current);
  } else {
    platform::FileDialogRequest request;
    request.initial_path = current;
    request.default_extension = "csv";
    request.filters = {"(*.csv)|*.csv"};
    chosen = picker.picker == Picker::kOpenFile ? host.ChooseOpenFile(request)
                                                : host.ChooseSaveFile(request);
  }
  if (!chosen) return;
  SetControlText(picker.edit_id, *chosen);
  OnEditChanged(picker.edit_id, *chosen);
}

void CBVKDialog::OnCheck(int control_id, bool checked) {
  platform::ControlState* state = MutableState(control_id);
  if (!state) return;
  state->checked = checked;
  Changed(control_id);
  // A radio button clears the others bound to its variable.
  const Binding* group = nullptr;
  for (const Binding& binding : bindings_) {
    if (binding.id == control_id && binding.kind == Kind::kRadioButton) group = &binding;
  }
  if (group && checked) {
    for (const Binding& binding : bindings_) {
      if (binding.kind == Kind::kRadioButton && binding.id != control_id &&
          binding.number == group->number && binding.flag == group->flag) {
        SetCheck(binding.id, false);
      }
    }
  }
  Handler().OnValueChanged(*this, control_id);
}

void CBVKDialog::OnEditChanged(int control_id, const std::string& text) {
  platform::ControlState* state = MutableState(control_id);
  if (!state) return;
  state->text = text;
  Handler().OnValueChanged(*this, control_id);
}

void CBVKDialog::OnSelect(int control_id, const std::vector<int>& selection) {
  platform::ControlState* state = MutableState(control_id);
  if (!state) return;
  const platform::ControlTemplate* control = template_.Find(control_id);
  if (control && control->kind == Kind::kListView) {
    for (platform::ListRow& row : state->rows) row.selected = false;
    for (int row : selection) {
      if (row >= 0 && row < static_cast<int>(state->rows.size())) state->rows[row].selected = true;
    }
    state->selection = selection.empty() ? -1 : selection.front();
  } else {
    state->selection = selection.empty() ? -1 : selection.front();
  }
  Changed(control_id);
  Handler().OnValueChanged(*this, control_id);
}

void CBVKDialog::OnRowCheck(int control_id, int row, bool checked) {
  platform::ControlState* state = MutableState(control_id);
  if (!state || row < 0 || row >= static_cast<int>(state->rows.size())) return;
  state->rows[row].checked = checked;
  Changed(control_id);
  Handler().OnValueChanged(*this, control_id);
}

void CBVKDialog::OnColumnClick(int control_id, int column) {
  Handler().OnListColumnClick(*this, control_id, column);
}

void CBVKDialog::OnTreeExpanding(int control_id, int item) {
  if (platform::ControlState* state = MutableState(control_id)) {
    for (platform::TreeItem& candidate : state->items) {
      if (candidate.handle == item) candidate.expanded = true;
    }
  }
  Handler().OnTreeItemExpanding(*this, control_id, item);
}

void CBVKDialog::OnButtonPressed(CBVKDialog& source, int control_id) {
  if (&source != this) return;
  if (control_id == platform::kIdOk) {
    UpdateData(Direction::kFromControls);
    EndDialog(platform::kIdOk);
  } else if (control_id == platform::kIdCancel) {
    EndDialog(platform::kIdCancel);
  }
}

void CBVKDialog::OnFillList(CBVKDialog&, int) {}
void CBVKDialog::OnFillTree(CBVKDialog&, int) {}
void CBVKDialog::OnTreeItemExpanding(CBVKDialog&, int, int) {}
void CBVKDialog::OnListColumnClick(CBVKDialog&, int, int) {}
void CBVKDialog::OnValueChanged(CBVKDialog&, int) {}

}  // namespace tessary
