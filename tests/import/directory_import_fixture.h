#pragma once
// An import engine connected to a directory: by default a freshly provisioned embedded directory
// (example.com); with TESSARY_IMPORT_DIRECTORY set to an ldap:// or ldaps:// URI, that server
// (the Samba AD DC of the "samba" tests). Each test works in an organisational unit of its own,
// removed at its end, and reads the directory's state back through the directory service
// interface.

#include <memory>
#include <string>
#include <vector>

#include "directory/ds/directory.h"
#include "directory/ex_domain.h"
#include "directory_tree.h"
#include "import/domain_import_directory.h"
#include "import_test_util.h"

namespace tessary::testing {

class DirectoryImportTest : public MachineTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // True for the embedded directory, where stored passwords can be checked.
  bool Embedded() const { return embedded_; }
  const std::string& DomainDN() const { return domain_->DistinguishedName; }
  // The test's own organisational unit, and a DN in it (or in container).
  const std::string& Base() const { return base_; }
  std::string Dn(const std::string& name) const { return "CN=" + name + "," + base_; }
  std::string Dn(const std::string& name, const std::string& container) const {
    return "CN=" + name + "," + container;
  }
  // A name no other test run uses, for objects that leave the test's unit.
  std::string Unique(const std::string& name) const { return name + token_; }

  // Writes the import file, runs the file check and the validation, then the run.
  int Import(const std::vector<std::string>& lines, ScriptedProgressHost* host = nullptr);
  // Writes the import file and runs the file check and the validation only.
  bool Check(const std::vector<std::string>& lines);

  // Adds an organizational unit below the test's unit and returns its DN.
  std::string AddOrganizationalUnit(const std::string& name);
  // Read back through ds: whether the object exists, one attribute's values as text.
  bool Exists(const std::string& dn);
  std::vector<std::string> Values(const std::string& dn, const std::string& attribute);
  std::string Value(const std::string& dn, const std::string& attribute);
  // The object's GUID as 32 hexadecimal digits, as an import file may give it.
  std::string Guid(const std::string& dn);
  // The messages of the error file's entries (the file's last column).
  std::vector<std::string> ErrorMessages();
  // Deletes the object and everything below it; leaves nothing behind on a shared server.

  std::unique_ptr<ds::Directory> directory_;
  std::unique_ptr<CExDomain> domain_;
  std::unique_ptr<DomainImportDirectory> adapter_;
  std::unique_ptr<CImportEngine> engine_;

 private:
  bool embedded_ = true;
  std::string token_;
  std::string base_;
  std::vector<std::string> cleanup_;
};

}  // namespace tessary::testing
