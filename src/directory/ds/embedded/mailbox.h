#pragma once
// The Exchange 2000 management component's mailbox creation, offered where it is "installed":
// the directory's schema has the mailbox attributes and the forest holds an Exchange
// organisation.

#include <cstdint>
#include <memory>

#include "directory/ds/embedded/store.h"
#include "directory/ds/object.h"

namespace tessary::ds::embedded {

// Caller holds the store's lock.
bool ExchangeInstalled(Store& store);
std::unique_ptr<MailboxStore> MakeMailboxStore(std::shared_ptr<Store> store, std::int64_t user);

}  // namespace tessary::ds::embedded
