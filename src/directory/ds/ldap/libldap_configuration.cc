#include "directory/ds/ldap/libldap_configuration.h"

#include <fcntl.h>
#include <ldap.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>

namespace tessary::ds::ldap {
namespace {

// libldap takes a relative LDAPCONF from the working folder; the user chose it, so it keeps
// naming the same file while the working folder is elsewhere.
void AnchorConfigurationVariable() {
  const char* conf = std::getenv("LDAPCONF");
  if (conf == nullptr || *conf == '\0' || *conf == '/') return;
  std::error_code failed;
  const std::filesystem::path absolute = std::filesystem::absolute(conf, failed);
  if (!failed) setenv("LDAPCONF", absolute.c_str(), 1);
}

// Any call that takes the global options starts libldap's one-time initialisation.
void InitialiseLibldap() {
  int version = 0;
  ldap_get_option(nullptr, LDAP_OPT_PROTOCOL_VERSION, &version);
}

void LoadOnce() {
  // O_PATH needs no read permission, only that the folder still exists; when it does not,
  // libldap could not open a file in it either.
  const int working = open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (working < 0) {
    InitialiseLibldap();
    return;
  }
  AnchorConfigurationVariable();
  // "./ldaprc" and "./$LDAPRC" then name files in the root folder, which only root can write,
  // like ldap.conf itself.
  if (chdir("/") != 0) {
    close(working);
    std::fputs("tessary: cannot leave the working folder to read libldap's configuration\n",
               stderr);
    std::abort();
  }
  InitialiseLibldap();
  const bool returned = fchdir(working) == 0;
  close(working);
  if (!returned) {
    // Every relative path of the run would name a file below the root folder instead.
    std::fputs("tessary: cannot return to the working folder\n", stderr);
    std::abort();
  }
}

}  // namespace

void LoadLibldapConfiguration() {
  static std::once_flag loaded;
  std::call_once(loaded, LoadOnce);
}

}  // namespace tessary::ds::ldap
