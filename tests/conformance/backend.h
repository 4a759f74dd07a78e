#pragma once
// The directory the conformance suite runs against, chosen by TESSARY_CONFORMANCE_DIRECTORY:
// "embedded" (the default) provisions a fresh embedded directory with the domain example.com in
// a temporary folder; an ldap:// or ldaps:// URI connects to that server through the registered
// LDAP backend (the Samba AD DC of the "samba" tests). Every test works below an organisational
// unit of its own, removed again at its end, so the suite also runs against a shared server.

#include <memory>
#include <string>
#include <vector>

#include "directory/ds/directory.h"

namespace tessary::testing {

class ConformanceBackend {
 public:
  virtual ~ConformanceBackend() = default;
  virtual ds::Directory& directory() = 0;
  // True for the embedded directory: cases where Windows AD is stricter than Samba run only here.
  virtual bool embedded() const = 0;
  // The root domain's DN and DNS name, as RootDSE gives them.
  virtual std::string domain_dn() const = 0;
  virtual std::string dns_name() const = 0;
  // For the embedded directory: true when password is the user's stored password. Elsewhere
  // nothing can tell, and it answers true.
  virtual bool PasswordIs(const std::string& dn, const std::string& password) = 0;
};

// The backend for this run, opened once and shared by the suite; null with a message in error
// when it cannot be opened.
ConformanceBackend* SharedBackend(std::string* error);

}  // namespace tessary::testing
