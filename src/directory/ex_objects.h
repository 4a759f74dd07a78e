#pragma once
// The typed directory nodes: containers of the container tree, plain object nodes, and the
// Exchange 2000 configuration tree (organisation, administrative groups, servers, storage groups,
// stores). Each class fixes the kind of its children, so its Children list produces nodes of the
// right class.

#include "directory/ad_object.h"

namespace tessary {

class CExUser : public CBVKADObject {
 public:
  explicit CExUser(ds::Directory* directory = nullptr) : CBVKADObject(directory) {}
};

class CExContainer : public CBVKADObject {
 public:
  explicit CExContainer(ds::Directory* directory = nullptr);
  // Fills Children with the containers and organisational units one level below this one, once.
  // Fails with the search's message.
  [[nodiscard]] bool EnumSubContainers();
  int GetContainerCount() const { return Children.GetCount(); }
  // Null when the index is not below the count.
  CExContainer* GetContainer(int index) const;
};

class CExMailboxStore : public CBVKADObject {
 public:
  explicit CExMailboxStore(ds::Directory* directory = nullptr) : CBVKADObject(directory) {}
};

class CExPublicFolderStore : public CBVKADObject {
 public:
  explicit CExPublicFolderStore(ds::Directory* directory = nullptr) : CBVKADObject(directory) {}
};

class CExStorageGroup : public CBVKADObject {
 public:
  explicit CExStorageGroup(ds::Directory* directory = nullptr);
  // Its public folder stores; Children holds its mailbox stores.
  CBVKADObject PublicStores;
};

class CExServer : public CBVKADObject {
 public:
  explicit CExServer(ds::Directory* directory = nullptr);
};

class CExAdminGroup : public CBVKADObject {
 public:
  explicit CExAdminGroup(ds::Directory* directory = nullptr);
};

class CExOrg : public CBVKADObject {
 public:
  explicit CExOrg(ds::Directory* directory = nullptr);
};

// Runs the container search on `node`: containers and organisational units one level below it,
// each a CExContainer child named by its cn, or by its ou for an organisational unit.
[[nodiscard]] bool SearchContainers(CBVKADObject& node);

}  // namespace tessary
