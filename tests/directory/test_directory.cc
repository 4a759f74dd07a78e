#include "test_directory.h"

#include <unistd.h>

#include <cstdlib>
#include <mutex>

#include "directory/ds/embedded/embedded_directory.h"
#include "directory/ds/embedded/schema_definition.h"
#include "directory/ds/ldap/ldap_directory.h"
#include "directory/ds/open_directory.h"

namespace tessary::testing {
namespace {

std::string Configured() {
  const char* location = std::getenv("TESSARY_TEST_DIRECTORY");
  return location ? location : "";
}

// Named before main runs, while TMPDIR is still the real one: each test's private machine
// replaces it with a folder that goes away with the test.
const std::filesystem::path kTemplateFolder =
    std::filesystem::temp_directory_path() /
    ("tessary-directory-tests-" + std::to_string(getpid()));

// Provisioning writes the whole schema, so it is done once per test program and copied.
bool Template(std::filesystem::path* path, std::string* error) {
  static std::once_flag once;
  static std::filesystem::path made;
  static std::string failure;
  std::call_once(once, [] {
    const std::filesystem::path& folder = kTemplateFolder;
    std::filesystem::create_directories(folder);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(kTemplateFolder, ignored);
    });
    std::filesystem::path file = folder / "template.db";
    if (ds::embedded::ProvisionDomain(file.string(), "example.com", ds::embedded::BuiltinSchema(),
                                      {}, &failure)) {
      made = file;
    }
  });
  *path = made;
  *error = failure;
  return !made.empty();
}

}  // namespace

bool UsingFreshEmbeddedDirectory() { return Configured().empty(); }

bool OpenTestDirectory(const std::filesystem::path& folder,
                       std::unique_ptr<ds::Directory>* directory, std::string* error) {
  ds::ldap::InstallLdapBackend();
  std::string location = Configured();
  if (location.empty()) {
    std::filesystem::path original;
    if (!Template(&original, error)) return false;
    std::filesystem::path copy = folder / "directory.db";
    std::error_code code;
    std::filesystem::copy_file(original, copy, std::filesystem::copy_options::overwrite_existing,
                               code);
    if (code) {
      *error = "Could not copy the test directory: " + code.message();
      return false;
    }
    location = copy.string();
  }
  return ds::OpenDirectory(location, directory, error);
}

}  // namespace tessary::testing
