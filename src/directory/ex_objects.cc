#include "directory/ex_objects.h"

namespace tessary {

CExContainer::CExContainer(ds::Directory* directory)
    : CBVKADObject(directory, KindOf<CExContainer>()) {}

bool CExContainer::EnumSubContainers() { return SearchContainers(*this); }

CExContainer* CExContainer::GetContainer(int index) const {
  return static_cast<CExContainer*>(Children.GetAt(index));
}

CExStorageGroup::CExStorageGroup(ds::Directory* directory)
    : CBVKADObject(directory, KindOf<CExMailboxStore>()),
      PublicStores(directory, KindOf<CExPublicFolderStore>()) {}

CExServer::CExServer(ds::Directory* directory)
    : CBVKADObject(directory, KindOf<CExStorageGroup>()) {}

CExAdminGroup::CExAdminGroup(ds::Directory* directory)
    : CBVKADObject(directory, KindOf<CExServer>()) {}

CExOrg::CExOrg(ds::Directory* directory) : CBVKADObject(directory, KindOf<CExAdminGroup>()) {}

bool SearchContainers(CBVKADObject& node) {
  return node.SearchChildren(node.DistinguishedName, {"container", "organizationalUnit"}, {"ou"},
                             CBVKADObject::Subtree::No);
}

}  // namespace tessary
