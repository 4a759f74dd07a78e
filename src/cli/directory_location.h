#pragma once
// Which directory the command line works on, first that applies: the --directory option,
// TESSARY_DIRECTORY, the current user's "Directory" value under Software\Brenvik\Tessary,
// libldap's configured URI (ldap.conf's URI, the home folder's ldaprc, LDAPURI; never the
// working folder's ldaprc), else the embedded directory file at
// ${XDG_DATA_HOME:-~/.local/share}/brenvik/directory.db.

#include <memory>
#include <string>

#include "directory/ds/directory.h"

namespace tessary::cli {

// The location chosen by the order above; option is the --directory value or empty.
std::string ChooseDirectoryLocation(const std::string& option);

// Opens the directory at location (ldap://, ldaps:// or an embedded directory file). Fails with
// a message naming the location.
[[nodiscard]] bool OpenChosenDirectory(const std::string& location,
                                       std::unique_ptr<ds::Directory>* directory,
                                       std::string* error);

}  // namespace tessary::cli
