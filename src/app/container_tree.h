#pragma once
// The items of the container page's tree: the current domain at the root, its containers below,
// each child container loaded only when its parent is expanded. Items point at the domain's
// container objects, which the domain owns; the tree owns only its items.

#include <string>
#include <vector>

#include "directory/ex_domain.h"

namespace tessary {

class CContainerTree {
 public:
  // Item images: the bitmaps of a domain and of a container.
  static constexpr int kDomainImage = 163;
  static constexpr int kContainerImage = 150;
  static constexpr int kNoItem = -1;

  struct Item {
    std::string Text;
    CBVKADObject* Object = nullptr;
    int Parent = kNoItem;
    int Image = kContainerImage;
    std::vector<int> Children;
  };

  const std::vector<Item>& Items() const { return items_; }
  // The root items (the domain), in order.
  const std::vector<int>& Roots() const { return roots_; }
  void Clear();

  // Inserts an item for the object below parent (kNoItem: a root); an object that already has
  // an item only has that item's text updated. Returns the item.
  int Insert(CBVKADObject* object, const std::string& text, int parent);
  int FindItem(const CBVKADObject* object) const;

  // The domain's dotted name at the root, every loaded container below it, depth first. While
  // inserting, the container whose DN equals *pending_dn becomes *selected and *pending_dn is
  // cleared. The selected container's item is then selected and expanded.
  void Fill(CExDomain& domain, std::string* pending_dn, CBVKADObject** selected);

  // Loads the child containers of the item's container (once) and inserts them. Fails with the
  // search's message in the container's error record; a domain item has nothing to load.
  [[nodiscard]] bool Expand(int item);

  int Selected() const { return selected_; }
  void Select(int item) { selected_ = item; }
  CBVKADObject* SelectedObject() const;

 private:
  // Inserts the object and, depth first, its already loaded child containers.
  void InsertLoaded(CBVKADObject* object, int parent, std::string* pending_dn,
                    CBVKADObject** selected);

  std::vector<Item> items_;
  std::vector<int> roots_;
  int selected_ = kNoItem;
};

}  // namespace tessary
