#include "support/bvk_tree_ctrl.h"

#include <algorithm>

namespace tessary {

void CBVKTreeCtrl::Attach(CBVKDialog& dialog, int control_id) {
  dialog_ = &dialog;
  control_id_ = control_id;
  next_handle_ = 1;
  if (const platform::ControlState* state = State()) {
    for (const platform::TreeItem& item : state->items) {
      next_handle_ = std::max(next_handle_, item.handle + 1);
    }
  }
}

void CBVKTreeCtrl::Detach() { dialog_ = nullptr; }

platform::ControlState* CBVKTreeCtrl::State() const {
  return dialog_ ? dialog_->MutableState(control_id_) : nullptr;
}

platform::TreeItem* CBVKTreeCtrl::Item(int item) const {
  platform::ControlState* state = State();
  if (!state || item == 0) return nullptr;
  auto found = std::find_if(state->items.begin(), state->items.end(),
                            [item](const platform::TreeItem& candidate) { return candidate.handle == item; });
  return found == state->items.end() ? nullptr : &*found;
}

int CBVKTreeCtrl::InsertItem(int parent, const std::string& text, int image, void* data) {
  platform::ControlState* state = State();
  if (!state) return 0;
  if (parent != 0 && !Item(parent)) parent = 0;
  platform::TreeItem item;
  item.handle = next_handle_++;
  item.parent = parent;
  item.text = text;
  item.image = image;
  item.data = data;
  // After the parent's last descendant, so that a parent always comes before its children and
  // siblings stay in the order they were inserted.
  auto position = state->items.end();
  if (parent != 0) {
    std::vector<int> family{parent};
    auto it = std::find_if(state->items.begin(), state->items.end(),
                           [parent](const platform::TreeItem& c) { return c.handle == parent; });
    position = it + 1;
    while (position != state->items.end() &&
           std::find(family.begin(), family.end(), position->parent) != family.end()) {
      family.push_back(position->handle);
      ++position;
    }
  }
  state->items.insert(position, item);
  dialog_->Changed(control_id_);
  return item.handle;
}

void CBVKTreeCtrl::SetItemText(int item, const std::string& text) {
  if (platform::TreeItem* found = Item(item)) {
    found->text = text;
    dialog_->Changed(control_id_);
  }
}

void CBVKTreeCtrl::DeleteAllItems() {
  if (platform::ControlState* state = State()) {
    state->items.clear();
    state->selection = 0;
    dialog_->Changed(control_id_);
  }
}

int CBVKTreeCtrl::FindItem(const void* data) const {
  const platform::ControlState* state = State();
  if (!state || !data) return 0;
  for (const platform::TreeItem& item : state->items) {
    if (item.data == data) return item.handle;
  }
  return 0;
}

void* CBVKTreeCtrl::ItemData(int item) const {
  const platform::TreeItem* found = Item(item);
  return found ? found->data : nullptr;
}

std::string CBVKTreeCtrl::ItemText(int item) const {
  const platform::TreeItem* found = Item(item);
  return found ? found->text : std::string();
}

std::vector<int> CBVKTreeCtrl::Children(int item) const {
  std::vector<int> children;
  if (const platform::ControlState* state = State()) {
    for (const platform::TreeItem& candidate : state->items) {
      if (candidate.parent == item) children.push_back(candidate.handle);
    }
  }
  return children;
}

void CBVKTreeCtrl::Select(int item) {
  platform::ControlState* state = State();
  if (!state) return;
  state->selection = Item(item) ? item : 0;
  dialog_->Changed(control_id_);
}

int CBVKTreeCtrl::Selected() const {
  const platform::ControlState* state = State();
  return state && state->selection > 0 ? state->selection : 0;
}

void CBVKTreeCtrl::Expand(int item) {
  if (platform::TreeItem* found = Item(item)) {
    found->expanded = true;
    dialog_->Changed(control_id_);
  }
}

}  // namespace tessary
