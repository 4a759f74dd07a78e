#include "app/container_tree.h"

#include "directory/dn.h"

namespace tessary {

void CContainerTree::Clear() {
  items_.clear();
  roots_.clear();
  selected_ = kNoItem;
}

int CContainerTree::FindItem(const CBVKADObject* object) const {
  for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
    if (items_[i].Object == object) return i;
  }
  return kNoItem;
}

int CContainerTree::Insert(CBVKADObject* object, const std::string& text, int parent) {
  const int found = FindItem(object);
  if (found != kNoItem) {
    items_[found].Text = text;
    return found;
  }
  Item item;
  item.Text = text;
  item.Object = object;
  item.Parent = parent;
  item.Image = dynamic_cast<CExDomain*>(object) ? kDomainImage : kContainerImage;
  items_.push_back(std::move(item));
  const int index = static_cast<int>(items_.size()) - 1;
  if (parent == kNoItem) {
    roots_.push_back(index);
  } else {
    items_[parent].Children.push_back(index);
  }
  return index;
}

void CContainerTree::InsertLoaded(CBVKADObject* object, int parent, std::string* pending_dn,
                                  CBVKADObject** selected) {
  const int item = Insert(object, object->Name, parent);
  if (!pending_dn->empty() && *pending_dn == object->DistinguishedName) {
    *selected = object;
    pending_dn->clear();
  }
  for (int i = 0; i < object->GetChildCount(); ++i) {
    InsertLoaded(object->GetChild(i), item, pending_dn, selected);
  }
}

void CContainerTree::Fill(CExDomain& domain, std::string* pending_dn, CBVKADObject** selected) {
  const int root = Insert(&domain, DNToDomainName(domain.DistinguishedName), kNoItem);
  for (int i = 0; i < domain.GetContainerCount(); ++i) {
    InsertLoaded(domain.GetContainer(i), root, pending_dn, selected);
  }
  selected_ = *selected ? FindItem(*selected) : kNoItem;
  if (selected_ != kNoItem) (void)Expand(selected_);
}

bool CContainerTree::Expand(int item) {
  if (item < 0 || item >= static_cast<int>(items_.size())) return false;
  auto* container = dynamic_cast<CExContainer*>(items_[item].Object);
  if (!container) return true;
  const bool loaded = container->EnumSubContainers();
  // What was loaded before a failure is still shown.
  for (int i = 0; i < container->GetContainerCount(); ++i) {
    CExContainer* child = container->GetContainer(i);
    Insert(child, child->Name, item);
  }
  return loaded;
}

CBVKADObject* CContainerTree::SelectedObject() const {
  return selected_ == kNoItem ? nullptr : items_[selected_].Object;
}

}  // namespace tessary
