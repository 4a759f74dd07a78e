// Compiled into every program that links the LDAP backend (an interface source of
// tessary_ds_ldap), so that OpenDirectory hands it ldap:// locations without the program having
// to remember a call: a static library's own initialiser would be dropped by the linker.
#include "directory/ds/ldap/ldap_directory.h"

namespace {

const bool kLdapBackendInstalled = [] {
  tessary::ds::ldap::InstallLdapBackend();
  return true;
}();

}  // namespace
