#pragma once
// A POSIX file descriptor owned by value, and the whole-buffer write every file writer needs.

#include <string_view>

namespace tessary::platform {

// Closes its descriptor on every path out; Close() reports the delayed write errors a plain
// close would hide.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  ~FileDescriptor();
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  void Reset(int fd);
  int Close();

 private:
  int fd_;
};

// Writes all of data, retrying interrupted and short writes; 0 or the errno of the failing write.
int WriteAll(int fd, std::string_view data);

}  // namespace tessary::platform
