#pragma once
// Directory files written by earlier versions of the program open with this one: each step brings
// the file's layout one format version forward, inside the caller's transaction, so a step that
// fails leaves the file as it was.

#include <string>

#include "directory/ds/embedded/store.h"

namespace tessary::ds::embedded {

// The layout this program writes.
constexpr int kCurrentFormat = 3;

// Runs the steps from `format` up to kCurrentFormat; false with a reason when one fails.
[[nodiscard]] bool UpgradeFormat(Store& store, int format, std::string* error);

}  // namespace tessary::ds::embedded
