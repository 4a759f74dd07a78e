#pragma once
// Cleaning up after tests that work on a shared directory.

#include <string>

#include "directory/ds/directory.h"

namespace tessary::testing {

// Deletes the object at dn and everything below it, children first. Goes on past a failure so
// that as much as possible is gone, and answers with the first failure.
HRESULT DeleteTree(ds::Directory& directory, const std::string& dn);

}  // namespace tessary::testing
