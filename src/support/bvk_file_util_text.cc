// Text files by lines and folder listings.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <random>

#include "platform/file_descriptor.h"
#include "platform/system_error.h"
#include "support/bvk_file_util.h"

namespace tessary {
namespace {

using platform::kIdRetry;

// 0 or the errno of the failure. Reads the whole file, splitting at LF and dropping the CR
// before it; the last line needs no line end.
int ReadAllLines(const std::string& path, std::size_t max_lines, std::vector<std::string>* lines) {
  platform::FileDescriptor in(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) return errno;
  std::string line;
  std::string buffer(1 << 16, '\0');
  auto full = [&] { return max_lines != 0 && lines->size() >= max_lines; };
  for (;;) {
    ssize_t got = read(in.get(), buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (got == 0) break;
    std::size_t start = 0;
    const std::size_t end = static_cast<std::size_t>(got);
    for (std::size_t lf; start < end && (lf = buffer.find('\n', start)) < end; start = lf + 1) {
      line.append(buffer, start, lf - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines->push_back(std::move(line));
      line.clear();
      if (full()) return 0;
    }
    line.append(buffer, start, end - start);
  }
  if (!line.empty()) lines->push_back(std::move(line));
  return 0;
}

// 0 or the errno of the failure.
int ReadAll(const std::string& path, std::string* bytes) {
  platform::FileDescriptor in(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) return errno;
  struct stat info {};
  if (fstat(in.get(), &info) == 0 && S_ISREG(info.st_mode)) {
    bytes->reserve(static_cast<std::size_t>(info.st_size));
  }
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = read(in.get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (got == 0) return 0;
    bytes->append(buffer, static_cast<std::size_t>(got));
  }
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::size_t size = 0;
  for (const std::string& line : lines) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

// A link is replaced through: the file it points at gets the new content.
std::string ResolveLink(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

// A file that nobody may write is read-only, also for root: writing it is refused as Windows
// refuses to write a file with the read-only attribute, whoever asks.
bool IsReadOnly(const struct stat& info) {
  return S_ISREG(info.st_mode) && (info.st_mode & 0222) == 0;
}

// Replaces the file's whole content: written beside it and renamed over it, so a failure
// leaves the old file as it was. 0 or the errno of the failure.
int ReplaceFile(const std::string& requested, const std::string& content) {
  const std::string path = ResolveLink(requested);
  struct stat existing {};
  const bool exists = stat(path.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) return EISDIR;
  if (exists && IsReadOnly(existing)) return EACCES;

  static thread_local std::mt19937_64 random{std::random_device{}()};
  std::string temporary;
  platform::FileDescriptor out;
  for (int attempt = 0; out.get() < 0; ++attempt) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%016llx", static_cast<unsigned long long>(random()));
    temporary = path + suffix;
    // 0666 lets the umask decide a new file's permissions, as for any new file.
    out.Reset(open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (out.get() < 0 && (errno != EEXIST || attempt == 100)) return errno;
  }
  auto abandon = [&temporary](int error_number) {
    unlink(temporary.c_str());
    return error_number;
  };
  if (int error_number = platform::WriteAll(out.get(), content)) return abandon(error_number);
  if (exists && fchmod(out.get(), existing.st_mode & 07777) != 0) return abandon(errno);
  if (fsync(out.get()) != 0 || out.Close() != 0) return abandon(errno);
  if (rename(temporary.c_str(), path.c_str()) != 0) return abandon(errno);
  return 0;
}

// Permissions of a file created by an operation, before the umask.
mode_t CreationMode(CBVKFileUtil::Access access) {
  return access == CBVKFileUtil::Access::kOwnerOnly ? 0600 : 0666;
}

int AppendToFile(const std::string& path, const std::string& content,
                 CBVKFileUtil::Access access = CBVKFileUtil::Access::kShared) {
  platform::FileDescriptor out(
      open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, CreationMode(access)));
  if (out.get() < 0) return errno;
  struct stat info {};
  if (fstat(out.get(), &info) != 0) return errno;
  if (IsReadOnly(info)) return EACCES;
  if (int error_number = platform::WriteAll(out.get(), content)) return error_number;
  return out.Close() == 0 ? 0 : errno;
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Windows wildcards: '*' any run of characters, '?' one character, letters without case.
bool Matches(std::string_view pattern, std::string_view name) {
  if (pattern == "*.*" || pattern == "*") return true;
  std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || Upper(pattern[p]) == Upper(name[n]))) {
      ++p;
      ++n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

bool CBVKFileUtil::ReadLines(const std::string& path, std::vector<std::string>* lines,
                             Interactive interactive, std::size_t max_lines) {
  for (;;) {
    lines->clear();
    int error_number = ReadAllLines(path, max_lines, lines);
    if (error_number == 0) return true;
    lines->clear();
    Fail("Could not locate or read the file '" + path + "'",
         platform::Win32FromErrno(error_number));
    if (interactive == Interactive::No || error_.AskRetry() != kIdRetry) return false;
  }
}

bool CBVKFileUtil::ReadFile(const std::string& path, std::string* bytes, Interactive interactive) {
  for (;;) {
    bytes->clear();
    const int error_number = ReadAll(path, bytes);
    if (error_number == 0) return true;
    bytes->clear();
    Fail("Could not locate or read the file '" + path + "'",
         platform::Win32FromErrno(error_number));
    if (interactive == Interactive::No || error_.AskRetry() != kIdRetry) return false;
  }
}

bool CBVKFileUtil::WriteLines(const std::string& path, const std::vector<std::string>& lines,
                              Overwrite overwrite, Interactive interactive) {
  const std::string content = JoinLines(lines);
  for (;;) {
    int error_number =
        overwrite == Overwrite::Yes ? ReplaceFile(path, content) : AppendToFile(path, content);
    if (error_number == 0) return true;
    Fail("Could not write to the file '" + path + "'", platform::Win32FromErrno(error_number));
    if (interactive == Interactive::No || error_.AskRetry() != kIdRetry) return false;
  }
}

bool CBVKFileUtil::AppendLine(const std::string& path, const std::string& line, Access access) {
  const std::string content = JoinLines({line});
  const int error_number = AppendToFile(path, content, access);
  if (error_number == 0) return true;
  return Fail("Could not write to the file '" + path + "'", platform::Win32FromErrno(error_number));
}

bool CBVKFileUtil::CreateNewFile(const std::string& path, bool* taken) {
  *taken = false;
  platform::FileDescriptor created(open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                                        CreationMode(Access::kOwnerOnly)));
  if (created.get() >= 0 && created.Close() == 0) return true;
  if (created.get() < 0 && errno == EEXIST) {
    *taken = true;
    return true;
  }
  return Fail("Could not create the file '" + path + "'.", platform::Win32FromErrno(errno));
}

bool CBVKFileUtil::ListFiles(const std::string& folder, std::vector<std::string>* names,
                             IncludeFiles include_files, const std::string& pattern) {
  error_.SetText({});
  names->clear();
  const std::string listed = folder.empty() ? std::string("./") : AddTrailingSlash(folder);
  DIR* directory = opendir(listed.c_str());
  if (!directory) {
    return Fail("Could not access '" + listed + "'.", platform::Win32FromErrno(errno));
  }
  int error_number = 0;
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(directory);
    if (!entry) {
      error_number = errno;
      break;
    }
    const std::string name = entry->d_name;
    if (name == "." || name == ".." || !Matches(pattern, name)) continue;
    bool is_folder = entry->d_type == DT_DIR;
    if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
      struct stat info {};
      is_folder = fstatat(dirfd(directory), entry->d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
    }
    if (is_folder || include_files == IncludeFiles::Yes) names->push_back(name);
  }
  closedir(directory);
  std::sort(names->begin(), names->end());
  if (error_number != 0) {
    return Fail("Could not access '" + listed + "'.", platform::Win32FromErrno(error_number));
  }
  return true;
}

}  // namespace tessary
