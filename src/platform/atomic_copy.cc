#include "platform/atomic_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/system_error.h"

namespace tessary::platform {
namespace {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // Closes now, so that a failing close (delayed write errors) is seen.
  int Close() {
    int result = close(fd_);
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

CopyOutcome Failed(CopyOutcome::Stage stage, int error_number) {
  return {stage, Win32FromErrno(error_number)};
}

bool WriteAll(int fd, const char* data, ssize_t size) {
  while (size > 0) {
    ssize_t written = write(fd, data, static_cast<size_t>(size));
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= written;
  }
  return true;
}

}  // namespace

CopyOutcome CopyFileAtomically(const std::string& source, const std::string& destination) {
  Descriptor in(open(source.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) return Failed(CopyOutcome::Stage::kReadSource, errno);
  struct stat info {};
  if (fstat(in.get(), &info) != 0) return Failed(CopyOutcome::Stage::kReadSource, errno);
  if (S_ISDIR(info.st_mode)) return Failed(CopyOutcome::Stage::kReadSource, EISDIR);

  std::string temporary = destination + ".XXXXXX";
  Descriptor out(mkostemp(temporary.data(), O_CLOEXEC));
  if (out.get() < 0) return Failed(CopyOutcome::Stage::kCreateTemporary, errno);

  auto abandon = [&temporary](CopyOutcome::Stage stage, int error_number) {
    unlink(temporary.c_str());
    return Failed(stage, error_number);
  };
  char buffer[65536];
  for (;;) {
    ssize_t got = read(in.get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      return abandon(CopyOutcome::Stage::kReadSource, errno);
    }
    if (got == 0) break;
    if (!WriteAll(out.get(), buffer, got)) return abandon(CopyOutcome::Stage::kWrite, errno);
  }
  if (fchmod(out.get(), (info.st_mode & 07777) | S_IWUSR) != 0 || fsync(out.get()) != 0) {
    return abandon(CopyOutcome::Stage::kWrite, errno);
  }
  if (out.Close() != 0) return abandon(CopyOutcome::Stage::kWrite, errno);
  if (rename(temporary.c_str(), destination.c_str()) != 0) {
    return abandon(CopyOutcome::Stage::kRename, errno);
  }
  return {};
}

}  // namespace tessary::platform
