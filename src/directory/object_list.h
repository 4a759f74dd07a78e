#pragma once
// The owning, typed list of child objects. The list records the kind of its elements and creates
// new ones of that kind, so a derived class has its list produce children of its own class.

#include <memory>
#include <vector>

namespace tessary {

class CBVKADObject;

// The run-time class of list elements: how to make one and how to recognise one.
struct CBVKObjectKind {
  std::unique_ptr<CBVKADObject> (*create)();
  bool (*is_kind)(const CBVKADObject*);
};

// The kind of T (T derives from CBVKADObject and is default-constructible).
template <class T>
const CBVKObjectKind& KindOf() {
  static const CBVKObjectKind kind = {
      []() -> std::unique_ptr<CBVKADObject> { return std::make_unique<T>(); },
      [](const CBVKADObject* object) { return dynamic_cast<const T*>(object) != nullptr; }};
  return kind;
}

class CBVKADObjectList {
 public:
  explicit CBVKADObjectList(const CBVKObjectKind& kind) : kind_(&kind) {}
  CBVKADObjectList(const CBVKADObjectList&) = delete;
  CBVKADObjectList& operator=(const CBVKADObjectList&) = delete;

  const CBVKObjectKind& Kind() const { return *kind_; }
  // Creates an element of the recorded kind at the end and returns it.
  CBVKADObject* AddNew();

  int GetCount() const { return static_cast<int>(elements_.size()); }
  bool IsEmpty() const { return elements_.empty(); }
  // The element, or null when the index is out of range or the element is not of the kind.
  CBVKADObject* GetAt(int index) const;
  // Each deletes the element; false when there is no such element.
  bool RemoveAt(int index);
  bool Remove(const CBVKADObject* element);
  bool Contains(const CBVKADObject* element) const;
  // Deletes every element.
  void Clear() { elements_.clear(); }

 private:
  const CBVKObjectKind* kind_;
  std::vector<std::unique_ptr<CBVKADObject>> elements_;
};

}  // namespace tessary
