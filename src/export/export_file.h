#pragma once
// The export file while a run writes it: the column line replaces any earlier file, then each
// object's line is appended the moment it is formed. The file stays open for the run; every line
// is handed to the system with its own write, so what is on disk after any row (and after a
// failure) is what opening, appending and closing for each row would leave, without paying for
// an open and a close per object.

#include <sys/types.h>

#include <string>

#include "support/bvk_error.h"
#include "support/bvk_file_util.h"

namespace tessary {

class ExportFile {
 public:
  ExportFile() = default;
  ~ExportFile();
  ExportFile(const ExportFile&) = delete;
  ExportFile& operator=(const ExportFile&) = delete;
  // The open file goes with the move.
  ExportFile(ExportFile&& other) noexcept;

  CBVKError& Error() { return error_; }

  // Writes the column line (creating the file or replacing it) and opens it for the data lines.
  // Fails with "Could not write to the file '...'" and the system's reason.
  [[nodiscard]] bool Create(const std::string& path, const std::string& column_line);
  // Appends the line and CR LF; fails as Create (a full disk, a file made read-only), leaving
  // no part of the line in the file.
  [[nodiscard]] bool AppendLine(const std::string& line);
  void Close();

 private:
  bool Fail(int error_number);

  CBVKFileUtil files_;
  CBVKError error_;
  std::string path_;
  int descriptor_ = -1;
  off_t size_ = 0;  // the file's size after its last whole line
};

}  // namespace tessary
