#pragma once
// Copying a file so that the destination is never half-written: the bytes go to a temporary file
// beside the destination, which then replaces it by rename.

#include <cstdint>
#include <string>

namespace tessary::platform {

// What went wrong, in the Win32 vocabulary, and at which stage.
struct CopyOutcome {
  enum class Stage { kNone, kReadSource, kCreateTemporary, kWrite, kRename };
  Stage stage = Stage::kNone;
  std::uint32_t error = 0;  // 0 on success
};

// The temporary file of a copy is the destination's name + kCopyTemporaryMark + six random
// letters or digits; a copy killed outright leaves one behind, which this name lets a later run
// recognise as its own.
inline constexpr char kCopyTemporaryMark[] = ".~copy-";
bool IsCopyTemporaryName(const std::string& name);

// Copies source over destination (replacing it), keeping the source's permission bits plus the
// owner's write permission. On failure the destination is unchanged and no temporary file stays.
// A Ctrl-C caught by a ScopedInterruptCatcher (interrupt.h) stops the copy with kErrorCancelled.
CopyOutcome CopyFileAtomically(const std::string& source, const std::string& destination);

}  // namespace tessary::platform
