#include "export/export_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/system_error.h"

namespace tessary {

ExportFile::~ExportFile() { Close(); }

ExportFile::ExportFile(ExportFile&& other) noexcept
    : files_(std::move(other.files_)),
      error_(std::move(other.error_)),
      path_(std::move(other.path_)),
      descriptor_(other.descriptor_),
      size_(other.size_) {
  other.descriptor_ = -1;
}

void ExportFile::Close() {
  if (descriptor_ >= 0) close(descriptor_);
  descriptor_ = -1;
}

bool ExportFile::Fail(int error_number) {
  error_.SetText("Could not write to the file '" + path_ + "'");
  error_.SetSystemError(platform::Win32FromErrno(error_number));
  return false;
}

bool ExportFile::Create(const std::string& path, const std::string& column_line) {
  Close();
  path_ = path;
  if (!files_.WriteLines(path, {column_line}, CBVKFileUtil::Overwrite::Yes)) {
    error_.SetText(files_.Error().GetText());
    return false;
  }
  descriptor_ = open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (descriptor_ < 0) return Fail(errno);
  const off_t end = lseek(descriptor_, 0, SEEK_END);
  if (end < 0) return Fail(errno);
  size_ = end;
  return true;
}

bool ExportFile::AppendLine(const std::string& line) {
  if (descriptor_ < 0) return Fail(EBADF);
  const std::string text = line + "\r\n";
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t count = write(descriptor_, text.data() + written, text.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) {
      const int error_number = errno;
      // No half line may stay behind: the file ends with its last whole line.
      if (written > 0) (void)!ftruncate(descriptor_, size_);
      return Fail(error_number);
    }
    written += static_cast<std::size_t>(count);
  }
  size_ += static_cast<off_t>(written);
  return true;
}

}  // namespace tessary
