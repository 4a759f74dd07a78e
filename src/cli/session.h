#pragma once
// What every directory command of the command line starts with: the chosen directory opened
// and the domain connected, and the class, attribute and container names of the options
// resolved against it. Each failing step leaves the message the user sees in *error.

#include <memory>
#include <string>
#include <vector>

#include "directory/ex_domain.h"

namespace tessary::cli {

class Session {
 public:
  // Opens the directory chosen from the --directory value (see directory_location.h) and
  // connects the domain; fails when it cannot be reached or read.
  [[nodiscard]] bool Connect(const std::string& directory_option, std::string* error);

  CExDomain& Domain() { return *domain_; }
  ds::Directory& Directory() { return *directory_; }

  // The class with that admin display name; fails when the schema has none.
  [[nodiscard]] bool CheckClass(const std::string& admin_name, std::string* error);
  // Splits the comma-separated LDAP display names and checks each against the schema, taking
  // the schema's spelling; fails at the first name the schema does not have.
  [[nodiscard]] bool ResolveAttributes(const std::string& list, std::vector<std::string>* names,
                                       std::string* error);
  // The container at dn: the domain itself, or a container node owned by the session. Fails
  // when dn is not a DN or names nothing.
  [[nodiscard]] bool ResolveContainer(const std::string& dn, CBVKADObject** container,
                                      std::string* error);

 private:
  std::unique_ptr<ds::Directory> directory_;
  std::unique_ptr<CExDomain> domain_;
  std::unique_ptr<CExContainer> container_;
};

}  // namespace tessary::cli
