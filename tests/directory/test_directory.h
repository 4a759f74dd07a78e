#pragma once
// The directory the directory tests run against. By default a fresh embedded directory (the
// domain example.com) for every test; TESSARY_TEST_DIRECTORY names another one (ldap://host of a
// Samba AD DC, or an embedded directory file) that all tests then share, so each test works in
// an organisational unit of its own.

#include <filesystem>
#include <memory>
#include <string>

#include "directory/ds/directory.h"

namespace tessary::testing {

// Opens the test directory; for the default one, provisions it below folder. Fails with a
// message naming the directory.
[[nodiscard]] bool OpenTestDirectory(const std::filesystem::path& folder,
                                     std::unique_ptr<ds::Directory>* directory, std::string* error);

// True when the tests run against the default fresh embedded directory.
bool UsingFreshEmbeddedDirectory();

}  // namespace tessary::testing
