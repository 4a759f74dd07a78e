#include "platform/file_descriptor.h"

#include <unistd.h>

#include <cerrno>

namespace tessary::platform {

FileDescriptor::~FileDescriptor() {
  if (fd_ >= 0) close(fd_);
}

void FileDescriptor::Reset(int fd) {
  if (fd_ >= 0) close(fd_);
  fd_ = fd;
}

int FileDescriptor::Close() {
  int result = close(fd_);
  fd_ = -1;
  return result;
}

int WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t written = write(fd, data.data(), data.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

}  // namespace tessary::platform
