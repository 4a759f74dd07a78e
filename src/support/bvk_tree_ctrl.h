#pragma once
// The tree-view wrapper: items with images and a pointer to the object each stands for,
// selection and expansion, on a tree view control of a CBVKDialog.

#include <string>
#include <vector>

#include "support/bvk_dialog.h"

namespace tessary {

class CBVKTreeCtrl {
 public:
  void Attach(CBVKDialog& dialog, int control_id);
  void Detach();
  bool IsAttached() const { return dialog_ != nullptr; }
  // The dialog worked on, or nullptr.
  const CBVKDialog* Dialog() const { return dialog_; }

  // Appends an item under parent (0: at the top); returns its handle, 0 when not attached.
  int InsertItem(int parent, const std::string& text, int image, void* data);
  void SetItemText(int item, const std::string& text);
  void DeleteAllItems();
  // The item carrying data, or 0.
  int FindItem(const void* data) const;
  void* ItemData(int item) const;
  std::string ItemText(int item) const;
  std::vector<int> Children(int item) const;
  void Select(int item);
  int Selected() const;  // 0: none
  void Expand(int item);

 private:
  platform::ControlState* State() const;
  platform::TreeItem* Item(int item) const;

  CBVKDialog* dialog_ = nullptr;
  int control_id_ = 0;
  int next_handle_ = 1;
};

}  // namespace tessary
