#pragma once
// An import engine connected to a freshly provisioned embedded directory (example.com), with
// helpers that read the directory's state back through the directory service interface.

#include <memory>
#include <string>
#include <vector>

#include "directory/ds/directory.h"
#include "directory/ex_domain.h"
#include "import/domain_import_directory.h"
#include "import_test_util.h"

namespace tessary::testing {

inline constexpr const char* kDomainDN = "DC=example,DC=com";

class EmbeddedImportTest : public MachineTest {
 protected:
  void SetUp() override;

  // Writes the import file, runs the file check and the validation, then the run.
  int Import(const std::vector<std::string>& lines, ScriptedProgressHost* host = nullptr);
  // Writes the import file and runs the file check and the validation only.
  bool Check(const std::vector<std::string>& lines);

  // Adds an organizational unit below the domain.
  void AddOrganizationalUnit(const std::string& name);
  // Read back through ds: whether the object exists, one attribute's values as text.
  bool Exists(const std::string& dn);
  std::vector<std::string> Values(const std::string& dn, const std::string& attribute);
  std::string Value(const std::string& dn, const std::string& attribute);
  // The object's GUID as the import file writes it ({xxxxxxxx-...}).
  std::string Guid(const std::string& dn);
  // The messages of the error file's entries (the file's last column).
  std::vector<std::string> ErrorMessages();

  std::unique_ptr<ds::Directory> directory_;
  std::unique_ptr<CExDomain> domain_;
  std::unique_ptr<DomainImportDirectory> adapter_;
  std::unique_ptr<CImportEngine> engine_;
};

}  // namespace tessary::testing
