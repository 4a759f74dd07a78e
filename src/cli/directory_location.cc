#include "cli/directory_location.h"

#include <ldap.h>

#include <cstdlib>
#include <filesystem>

#include "directory/ds/embedded/embedded_directory.h"
#include "directory/ds/ldap/ldap_directory.h"
#include "directory/ds/ldap/libldap_configuration.h"
#include "directory/ds/open_directory.h"
#include "support/settings_store.h"

namespace tessary::cli {
namespace {

std::string RegistryLocation() {
  CBVKRegistry registry;
  std::string value;
  if (!registry.OpenKey(HKEY_CURRENT_USER, kSettingsKey, KEY_READ, CBVKRegistry::Create::No) ||
      !registry.ReadString("Directory", &value, {})) {
    return {};
  }
  return value;
}

// What libldap answers when nothing configures it: its built-in host, not a choice of the user.
constexpr char kLibldapBuiltinUri[] = "ldap://localhost:389/??base";

// The first URI of libldap's own configuration (ldap.conf, the home folder's ldaprc, LDAPURI,
// LDAPHOST) as scheme://host:port, or "" when nothing configures it.
std::string LibldapLocation() {
  ds::ldap::LoadLibldapConfiguration();
  char* uris = nullptr;
  if (ldap_get_option(nullptr, LDAP_OPT_URI, &uris) != LDAP_OPT_SUCCESS || uris == nullptr) {
    return {};
  }
  std::string first(uris);
  ldap_memfree(uris);
  if (first == kLibldapBuiltinUri) return {};
  first = first.substr(0, first.find_first_of(" ,"));
  const std::size_t host = first.find("://");
  if (host != std::string::npos) first = first.substr(0, first.find('/', host + 3));
  return first;
}

}  // namespace

std::string ChooseDirectoryLocation(const std::string& option) {
  if (!option.empty()) return option;
  if (const char* variable = std::getenv("TESSARY_DIRECTORY"); variable && *variable) {
    return variable;
  }
  if (std::string value = RegistryLocation(); !value.empty()) return value;
  if (std::string uri = LibldapLocation(); !uri.empty()) return uri;
  return ds::embedded::DefaultDirectoryPath();
}

bool OpenChosenDirectory(const std::string& location, std::unique_ptr<ds::Directory>* directory,
                         std::string* error) {
  ds::ldap::InstallLdapBackend();
  if (ds::OpenDirectory(location, directory, error)) return true;
  std::error_code ignored;
  if (!ds::IsLdapLocation(location) && !std::filesystem::exists(location, ignored)) {
    *error += "\nCreate it with: tessary-directory --directory '" + location +
              "' provision --domain example.com --sample";
  }
  return false;
}

}  // namespace tessary::cli
