#pragma once
// The LDAP backend's entry points: open a connection to ldap:// or ldaps:// and install the
// backend for OpenDirectory.

#include <memory>
#include <string>

#include "directory/ds/directory.h"

namespace tessary::ds::ldap {

// Connects and binds to uri (settings from the environment, see connection.h) and reads the
// RootDSE. On failure returns false with a sentence naming the URI and the reason.
[[nodiscard]] bool OpenLdapDirectory(const std::string& uri, std::unique_ptr<Directory>* directory,
                                     std::string* error);

class Session;
// The directory of an open session, for the backend's objects that work through the interface
// themselves (the mailbox component).
std::unique_ptr<Directory> DirectoryOfSession(std::shared_ptr<Session> session);

// Makes OpenDirectory hand ldap:// and ldaps:// locations to this backend.
void InstallLdapBackend();

}  // namespace tessary::ds::ldap
