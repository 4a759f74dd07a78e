#pragma once
// The two objects that are not entries: RootDSE (the server's view of its naming contexts) and
// the schema's class objects of "LDAP://schema/<class>" (IADsClass).

#include <memory>

#include "directory/ds/embedded/store.h"
#include "directory/ds/object.h"

namespace tessary::ds::embedded {

// Caller holds the store's lock.
std::unique_ptr<Object> MakeRootDse(std::shared_ptr<Store> store);
// Null when the schema has no such class.
std::unique_ptr<Object> MakeClassObject(const std::shared_ptr<Store>& store,
                                        const std::string& class_name);

}  // namespace tessary::ds::embedded
