#include "platform/hive_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_descriptor.h"
#include "platform/system_error.h"

namespace tessary::platform {
namespace {

std::uint32_t LastError() { return Win32FromErrno(errno); }

std::uint32_t ReadWholeFile(const std::filesystem::path& file, std::string* text, bool* exists) {
  *exists = false;
  FileDescriptor fd(open(file.c_str(), O_RDONLY | O_CLOEXEC));
  // A hive whose folder cannot exist (a file in the way) has never been written either.
  if (fd.get() < 0) return errno == ENOENT || errno == ENOTDIR ? 0 : LastError();
  *exists = true;
  text->clear();
  char buffer[16384];
  while (true) {
    ssize_t count = read(fd.get(), buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return LastError();
    if (count == 0) return 0;
    text->append(buffer, static_cast<std::size_t>(count));
  }
}

// Writes text to a temporary file beside the hive and renames it over the hive, so readers
// see either the old or the new hive, never a part of one.
std::uint32_t ReplaceFile(const std::filesystem::path& file, const std::string& text) {
  std::string temporary = file.string() + ".XXXXXX";
  FileDescriptor fd(mkostemp(temporary.data(), O_CLOEXEC));
  if (fd.get() < 0) return LastError();
  struct stat existing;
  mode_t mode = stat(file.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644;
  std::uint32_t code = Win32FromErrno(WriteAll(fd.get(), text));
  if (code == 0 && fchmod(fd.get(), mode) != 0) code = LastError();
  if (code == 0 && fsync(fd.get()) != 0) code = LastError();
  if (fd.Close() != 0 && code == 0) code = LastError();
  if (code == 0 && rename(temporary.c_str(), file.c_str()) != 0) code = LastError();
  if (code != 0) {
    unlink(temporary.c_str());
    return code;
  }
  FileDescriptor folder(open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.get() >= 0) fsync(folder.get());
  return 0;
}

}  // namespace

std::uint32_t ReadHiveFile(const std::filesystem::path& file, const HiveSeed& seed, RegHive* hive,
                           std::string* problem) {
  std::string text;
  bool exists = false;
  if (std::uint32_t code = ReadWholeFile(file, &text, &exists)) return code;
  if (!exists) {
    seed(hive);
    return 0;
  }
  int line = 0;
  std::string why;
  if (!hive->Parse(text, &line, &why)) {
    *problem = file.string() + ", line " + std::to_string(line) + ": " + why;
    return kErrorBadRegistryDatabase;
  }
  return 0;
}

std::uint32_t UpdateHiveFile(const std::filesystem::path& file, const HiveSeed& seed,
                             const HiveChange& change, RegHive* hive, std::string* problem) {
  std::error_code error;
  std::filesystem::create_directories(file.parent_path(), error);
  if (error) return Win32FromErrno(error.value());
  std::string lock_path = file.string() + ".lock";
  FileDescriptor lock(open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
  if (lock.get() < 0) return LastError();
  while (flock(lock.get(), LOCK_EX) != 0) {
    if (errno != EINTR) return LastError();
  }
  if (std::uint32_t code = ReadHiveFile(file, seed, hive, problem)) return code;
  bool changed = false;
  if (std::uint32_t code = change(hive, &changed)) return code;
  return changed ? ReplaceFile(file, hive->Write()) : 0;
}

}  // namespace tessary::platform
