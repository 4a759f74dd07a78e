#include "platform/atomic_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/file_descriptor.h"
#include "platform/interrupt.h"
#include "platform/system_error.h"

namespace tessary::platform {
namespace {

CopyOutcome Failed(CopyOutcome::Stage stage, int error_number) {
  return {stage, Win32FromErrno(error_number)};
}

}  // namespace

bool IsCopyTemporaryName(const std::string& name) {
  constexpr std::size_t kMarkSize = sizeof kCopyTemporaryMark - 1;
  constexpr std::size_t kRandomSize = 6;
  if (name.size() <= kMarkSize + kRandomSize) return false;
  const std::size_t mark = name.size() - kMarkSize - kRandomSize;
  if (name.compare(mark, kMarkSize, kCopyTemporaryMark) != 0) return false;
  for (std::size_t i = mark + kMarkSize; i < name.size(); ++i) {
    const char c = name[i];
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

CopyOutcome CopyFileAtomically(const std::string& source, const std::string& destination) {
  FileDescriptor in(open(source.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) return Failed(CopyOutcome::Stage::kReadSource, errno);
  struct stat info {};
  if (fstat(in.get(), &info) != 0) return Failed(CopyOutcome::Stage::kReadSource, errno);
  if (S_ISDIR(info.st_mode)) return Failed(CopyOutcome::Stage::kReadSource, EISDIR);

  std::string temporary = destination + kCopyTemporaryMark + "XXXXXX";
  FileDescriptor out(mkostemp(temporary.data(), O_CLOEXEC));
  if (out.get() < 0) return Failed(CopyOutcome::Stage::kCreateTemporary, errno);

  auto abandon = [&temporary](CopyOutcome::Stage stage, int error_number) {
    unlink(temporary.c_str());
    return Failed(stage, error_number);
  };
  char buffer[65536];
  for (;;) {
    if (InterruptRequested()) return abandon(CopyOutcome::Stage::kWrite, ECANCELED);
    ssize_t got = read(in.get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;  // the check above tells a Ctrl-C from any other signal
      return abandon(CopyOutcome::Stage::kReadSource, errno);
    }
    if (got == 0) break;
    if (int error_number =
            WriteAll(out.get(), std::string_view(buffer, static_cast<std::size_t>(got))))
      return abandon(CopyOutcome::Stage::kWrite, error_number);
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
