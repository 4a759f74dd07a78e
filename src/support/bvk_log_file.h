#pragma once
// A text log written line by line and kept across runs (setup's log of what it changed). A
// disabled writer does nothing and succeeds, so callers need not ask whether logging is on.

#include <cstdio>
#include <string>

#include "support/bvk_error.h"

namespace tessary {

class CBVKLogFile {
 public:
  enum class Overwrite { No, Yes };
  enum class LineEnd { No, Yes };

  CBVKLogFile() = default;
  ~CBVKLogFile() { Close(); }
  CBVKLogFile(const CBVKLogFile&) = delete;
  CBVKLogFile& operator=(const CBVKLogFile&) = delete;

  CBVKError& Error() { return error_; }
  void SetDisabled(bool disabled) { disabled_ = disabled; }
  bool IsDisabled() const { return disabled_; }
  bool IsOpen() const { return file_ != nullptr; }
  const std::string& Path() const { return path_; }

  // Opens the file for writing, creating it; Overwrite::No keeps what it holds and writes at its
  // end. Fails with "Could not open the file '<path>'." and the system's reason.
  [[nodiscard]] bool Open(const std::string& path, Overwrite overwrite);
  // Writes the text and, when asked, the line end (CR LF), and pushes it to the file so a crash
  // keeps every line written. Fails with "Could not write to the file '<path>'." and the reason,
  // shown at once with Retry and Cancel.
  [[nodiscard]] bool WriteLine(const std::string& text, LineEnd line_end = LineEnd::Yes);
  void Close();

 private:
  CBVKError error_;
  std::FILE* file_ = nullptr;
  std::string path_;
  bool disabled_ = false;
};

}  // namespace tessary
