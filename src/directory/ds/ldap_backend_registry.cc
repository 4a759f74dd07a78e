#include <atomic>

#include "directory/ds/dn.h"
#include "directory/ds/open_directory.h"

namespace tessary::ds {
namespace {

std::atomic<DirectoryOpener> g_ldap_opener{nullptr};

}  // namespace

void RegisterLdapBackend(DirectoryOpener opener) { g_ldap_opener.store(opener); }

DirectoryOpener RegisteredLdapBackend() { return g_ldap_opener.load(); }

bool IsLdapLocation(const std::string& location) {
  std::string lower = AsciiLower(location);
  return lower.starts_with("ldap://") || lower.starts_with("ldaps://");
}

}  // namespace tessary::ds
