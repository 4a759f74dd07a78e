#include "support/bvk_log_file.h"

#include <cerrno>

#include "platform/system_error.h"

namespace tessary {

bool CBVKLogFile::Open(const std::string& path, Overwrite overwrite) {
  if (disabled_) return true;
  Close();
  path_ = path;
  file_ = std::fopen(path.c_str(), overwrite == Overwrite::Yes ? "wb" : "ab");
  if (file_) return true;
  const int error_number = errno;
  error_.SetText("Could not open the file '" + path + "'.");
  error_.SetSystemError(platform::Win32FromErrno(error_number));
  return false;
}

bool CBVKLogFile::WriteLine(const std::string& text, LineEnd line_end) {
  if (disabled_) return true;
  int error_number = EBADF;
  if (file_) {
    const std::string line = line_end == LineEnd::Yes ? text + "\r\n" : text;
    errno = 0;
    if (std::fwrite(line.data(), 1, line.size(), file_) == line.size() && std::fflush(file_) == 0) {
      return true;
    }
    error_number = errno ? errno : EIO;
  }
  error_.SetText("Could not write to the file '" + path_ + "'.");
  error_.SetSystemError(platform::Win32FromErrno(error_number));
  error_.AskRetry();  // the answer changes nothing: the write has failed
  return false;
}

void CBVKLogFile::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

}  // namespace tessary
