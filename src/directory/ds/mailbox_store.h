#pragma once
// The Exchange 2000 management component's mailbox creation, written once over the directory
// service interface so that every backend offers the same behaviour: a backend answers
// QueryMailboxStore with it where the component counts as "installed".

#include <memory>
#include <string>

#include "directory/ds/directory.h"
#include "directory/ds/object.h"

namespace tessary::ds {

// The component counts as installed when the schema has the mailbox attributes (homeMDB,
// msExchHomeServerName, mailNickname, legacyExchangeDN) and the organisation class, and the
// forest holds an Exchange organisation below CN=Microsoft Exchange,CN=Services of its
// configuration. Fails only when the directory cannot be read.
[[nodiscard]] HRESULT FindExchangeInstalled(Directory& directory, bool* installed);

// The mailbox component of the user at user_dn, reading and writing through directory; stores
// are looked for in the forest's configuration, configuration_dn.
std::unique_ptr<MailboxStore> MakeMailboxStore(std::unique_ptr<Directory> directory,
                                               std::string user_dn, std::string configuration_dn);

}  // namespace tessary::ds
