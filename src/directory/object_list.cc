#include "directory/object_list.h"

#include <algorithm>

#include "directory/ad_object.h"

namespace tessary {

CBVKADObject* CBVKADObjectList::AddNew() {
  elements_.push_back(kind_->create());
  return elements_.back().get();
}

CBVKADObject* CBVKADObjectList::GetAt(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  CBVKADObject* element = elements_[index].get();
  return kind_->is_kind(element) ? element : nullptr;
}

bool CBVKADObjectList::RemoveAt(int index) {
  if (index < 0 || index >= GetCount()) return false;
  elements_.erase(elements_.begin() + index);
  return true;
}

bool CBVKADObjectList::Remove(const CBVKADObject* element) {
  auto it = std::find_if(elements_.begin(), elements_.end(),
                         [element](const auto& owned) { return owned.get() == element; });
  if (it == elements_.end()) return false;
  elements_.erase(it);
  return true;
}

bool CBVKADObjectList::Contains(const CBVKADObject* element) const {
  return std::any_of(elements_.begin(), elements_.end(),
                     [element](const auto& owned) { return owned.get() == element; });
}

}  // namespace tessary
