#include "platform/ui/scripted_dialog.h"

#include <algorithm>

namespace tessary::platform {

ScriptedDialogWindow::ScriptedDialogWindow(DialogModel& model, ScriptedDialogWindow* parent)
    : model_(model), parent_(parent) {
  if (parent_) parent_->children_.push_back(this);
}

ScriptedDialogWindow::~ScriptedDialogWindow() {
  // The model lets go of its child windows here; any it keeps no longer have a parent.
  model_.OnDestroyWindow();
  for (ScriptedDialogWindow* child : children_) child->parent_ = nullptr;
  if (parent_) std::erase(parent_->children_, this);
}

ScriptedDialogWindow* ScriptedDialogWindow::NewestChild() const {
  return children_.empty() ? nullptr : children_.back();
}

void ScriptedDialogWindow::EndModal(int result) {
  if (ended_) return;
  ended_ = true;
  result_ = result;
}

std::unique_ptr<DialogWindow> ScriptedDialogWindow::CreateChild(DialogModel& page, int, int) {
  auto child = std::make_unique<ScriptedDialogWindow>(page, this);
  page.OnInitDialog(*child);
  return child;
}

DialogModel* DialogDriver::Target(int control_id, const ControlState** state) const {
  // The newest page first, then its parents up to the dialog itself.
  std::vector<ScriptedDialogWindow*> chain{&window_};
  while (ScriptedDialogWindow* child = chain.back()->NewestChild()) chain.push_back(child);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (const ControlState* found = (*it)->Model().State(control_id)) {
      *state = found;
      return &(*it)->Model();
    }
  }
  *state = nullptr;
  return nullptr;
}

bool DialogDriver::Refuse(const std::string& what) {
  problems_.push_back(what);
  return false;
}

bool DialogDriver::Usable(int control_id, ControlKind kind, DialogModel** model,
                          const ControlState** state) {
  const std::string name = "control " + std::to_string(control_id);
  if (window_.Ended()) return Refuse(name + ": the dialog has ended");
  *model = Target(control_id, state);
  if (!*model) return Refuse(name + ": not shown");
  const ControlTemplate* control = (*model)->Template().Find(control_id);
  if (control && control->kind != kind) return Refuse(name + ": not of the kind acted on");
  if (!(*state)->visible) return Refuse(name + ": hidden");
  if (!(*state)->enabled) return Refuse(name + ": disabled");
  return true;
}

bool DialogDriver::Press(int control_id) {
  DialogModel* model;
  const ControlState* state;
  if (!Usable(control_id, ControlKind::kPushButton, &model, &state)) return false;
  model->OnButton(control_id);
  return true;
}

bool DialogDriver::Click(int control_id) {
  DialogModel* model;
  const ControlState* state;
  if (window_.Ended()) return Refuse("the dialog has ended");
  model = Target(control_id, &state);
  const ControlTemplate* control = model ? model->Template().Find(control_id) : nullptr;
  if (!control) return Refuse("control " + std::to_string(control_id) + ": not shown");
  if (!Usable(control_id, control->kind, &model, &state)) return false;
  if (control->kind == ControlKind::kCheckBox) {
    model->OnCheck(control_id, !state->checked);
  } else if (control->kind == ControlKind::kRadioButton) {
    model->OnCheck(control_id, true);
  } else {
    return Refuse("control " + std::to_string(control_id) + ": neither check box nor radio");
  }
  return true;
}

bool DialogDriver::Type(int control_id, const std::string& text) {
  DialogModel* model;
  const ControlState* state;
  if (!Usable(control_id, ControlKind::kEdit, &model, &state)) return false;
  if (state->style & kStyleReadOnly) return Refuse("control " + std::to_string(control_id) + ": read-only");
  model->OnEditChanged(control_id, text);
  return true;
}

bool DialogDriver::Select(int control_id, int row) {
  DialogModel* model;
  const ControlState* state;
  if (window_.Ended()) return Refuse("the dialog has ended");
  model = Target(control_id, &state);
  const ControlTemplate* control = model ? model->Template().Find(control_id) : nullptr;
  const ControlKind kind = control && control->kind == ControlKind::kDropDownList
                               ? ControlKind::kDropDownList
                               : ControlKind::kListBox;
  if (!Usable(control_id, kind, &model, &state)) return false;
  if (row < 0 || row >= static_cast<int>(state->rows.size())) {
    return Refuse("control " + std::to_string(control_id) + ": no row " + std::to_string(row));
  }
  model->OnSelect(control_id, {row});
  return true;
}

bool DialogDriver::SelectText(int control_id, const std::string& text) {
  const std::vector<std::string> lines = Lines(control_id);
  auto found = std::find(lines.begin(), lines.end(), text);
  if (found == lines.end()) {
    return Refuse("control " + std::to_string(control_id) + ": no line '" + text + "'");
  }
  return Select(control_id, static_cast<int>(found - lines.begin()));
}

bool DialogDriver::SelectRows(int control_id, const std::vector<int>& rows) {
  DialogModel* model;
  const ControlState* state;
  if (!Usable(control_id, ControlKind::kListView, &model, &state)) return false;
  for (int row : rows) {
    if (row < 0 || row >= static_cast<int>(state->rows.size())) {
      return Refuse("control " + std::to_string(control_id) + ": no row " + std::to_string(row));
    }
  }
  model->OnSelect(control_id, rows);
  return true;
}

bool DialogDriver::CheckRow(int control_id, int row, bool checked) {
  DialogModel* model;
  const ControlState* state;
  if (!Usable(control_id, ControlKind::kListView, &model, &state)) return false;
  if (!(state->style & kStyleCheckBoxes)) {
    return Refuse("control " + std::to_string(control_id) + ": rows have no check boxes");
  }
  if (row < 0 || row >= static_cast<int>(state->rows.size())) {
    return Refuse("control " + std::to_string(control_id) + ": no row " + std::to_string(row));
  }
  model->OnRowCheck(control_id, row, checked);
  return true;
}

bool DialogDriver::ClickColumn(int control_id, int column) {
  DialogModel* model;
  const ControlState* state;
  if (!Usable(control_id, ControlKind::kListView, &model, &state)) return false;
  if (column < 0 || column >= static_cast<int>(state->columns.size()) ||
      (state->style & kStyleNoHeader)) {
    return Refuse("control " + std::to_string(control_id) + ": no column header " +
                  std::to_string(column));
  }
  model->OnColumnClick(control_id, column);
  return true;
}

namespace {
bool HasItem(const ControlState& state, int item) {
  return std::any_of(state.items.begin(), state.items.end(),
                     [item](const TreeItem& candidate) { return candidate.handle == item; });
}
}  // namespace

bool DialogDriver::Expand(int control_id, int item) {
  DialogModel* model;
  const ControlState* state;
  if (!Usable(control_id, ControlKind::kTreeView, &model, &state)) return false;
  if (!HasItem(*state, item)) {
    return Refuse("control " + std::to_string(control_id) + ": no item " + std::to_string(item));
  }
  model->OnTreeExpanding(control_id, item);
  return true;
}

bool DialogDriver::SelectItem(int control_id, int item) {
  DialogModel* model;
  const ControlState* state;
  if (!Usable(control_id, ControlKind::kTreeView, &model, &state)) return false;
  if (!HasItem(*state, item)) {
    return Refuse("control " + std::to_string(control_id) + ": no item " + std::to_string(item));
  }
  model->OnSelect(control_id, {item});
  return true;
}

int DialogDriver::FindItem(int control_id, const std::vector<std::string>& path) const {
  const ControlState* state = State(control_id);
  if (!state) return 0;
  int parent = 0;
  for (const std::string& text : path) {
    auto found = std::find_if(state->items.begin(), state->items.end(), [&](const TreeItem& item) {
      return item.parent == parent && item.text == text;
    });
    if (found == state->items.end()) return 0;
    parent = found->handle;
  }
  return parent;
}

const ControlState* DialogDriver::State(int control_id) const {
  const ControlState* state;
  Target(control_id, &state);
  return state;
}

std::string DialogDriver::Text(int control_id) const {
  const ControlState* state = State(control_id);
  return state ? state->text : std::string();
}

bool DialogDriver::Enabled(int control_id) const {
  const ControlState* state = State(control_id);
  return state && state->enabled && state->visible;
}

bool DialogDriver::Checked(int control_id) const {
  const ControlState* state = State(control_id);
  return state && state->checked;
}

std::vector<std::string> DialogDriver::Lines(int control_id) const {
  std::vector<std::string> lines;
  if (const ControlState* state = State(control_id)) {
    for (const ListRow& row : state->rows) lines.push_back(row.texts.empty() ? "" : row.texts[0]);
  }
  return lines;
}

int DialogDriver::PageTemplate() const {
  const ScriptedDialogWindow* window = &window_;
  while (const ScriptedDialogWindow* child = window->NewestChild()) window = child;
  return const_cast<ScriptedDialogWindow*>(window)->Model().Template().id;
}

bool DialogDriver::Ended() const { return window_.Ended(); }
int DialogDriver::Result() const { return window_.Result(); }

}  // namespace tessary::platform
