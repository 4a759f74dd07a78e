#pragma once
// Connecting: "ldap://host" and "ldaps://host" go to the LDAP backend, anything else is the path
// of an embedded directory file. OpenDirectory is defined by the embedded backend's library
// (tessary_ds_embedded), the default that is always linked; the LDAP backend plugs itself in with
// RegisterLdapBackend, so that tessary_ds never links libldap.

#include <memory>
#include <string>

#include "directory/ds/directory.h"

namespace tessary::ds {

// Opens a connection. On failure returns false and a sentence that names the file or URI.
using DirectoryOpener = bool (*)(const std::string& location, std::unique_ptr<Directory>* directory,
                                 std::string* error);

// Installs the opener of ldap:// and ldaps:// locations (replacing an earlier one).
void RegisterLdapBackend(DirectoryOpener opener);
DirectoryOpener RegisteredLdapBackend();

// True when the location names an LDAP server rather than an embedded directory file.
bool IsLdapLocation(const std::string& location);

// Opens the directory at location. Fails with a message naming the location when it cannot be
// opened, is not a directory of ours, or is ldap:// while no LDAP backend is registered.
[[nodiscard]] bool OpenDirectory(const std::string& location, std::unique_ptr<Directory>* directory,
                                 std::string* error);

}  // namespace tessary::ds
