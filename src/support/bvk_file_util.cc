#include "support/bvk_file_util.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <string_view>

#include "platform/atomic_copy.h"
#include "platform/special_folders.h"
#include "platform/system_error.h"
#include "support/bvk_registry.h"

namespace tessary {
namespace {

using platform::kIdIgnore;
using platform::kIdRetry;

std::uint32_t LastError() { return platform::Win32FromErrno(errno); }

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A registry text that names a folder, from HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER.
bool ReadFolderValue(HKEY root, const std::string& key, const std::string& name,
                     std::string* folder) {
  CBVKRegistry registry;
  std::string value;
  if (!registry.OpenKey(root, key, KEY_READ, CBVKRegistry::Create::No) ||
      !registry.ReadString(name, &value, {}, CBVKRegistry::Required::Yes) || value.empty()) {
    return false;
  }
  *folder = CBVKFileUtil::AddTrailingSlash(value);
  return true;
}

constexpr std::uint32_t kErrorBadNetworkPath = 53;  // "The network path was not found."

constexpr char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

}  // namespace

bool CBVKFileUtil::Fail(const std::string& sentence, std::uint32_t code) {
  error_.SetText(sentence);
  error_.SetSystemError(code);
  return false;
}

bool CBVKFileUtil::InitFolders() {
  return GetCommonFilesFolder() && GetCurrentFolder() && GetProgramFilesFolder() &&
         GetSystemFolder() && GetTemporaryFolder() && GetWindowsFolder();
}

bool CBVKFileUtil::GetCurrentFolder() {
  std::string buffer(256, '\0');
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return Fail("Could not retrieve the current directory.", LastError());
    buffer.resize(buffer.size() * 2);
  }
  source_folder_ = CBVKFileUtil::AddTrailingSlash(buffer.c_str());
  return true;
}

// The system, temporary and Windows folders are fixed places on Linux (moved below
// BRENVIK_ROOT when it is set); finding them cannot fail.
bool CBVKFileUtil::GetSystemFolder() {
  system_folder_ = CBVKFileUtil::AddTrailingSlash(platform::SystemFolder());
  return true;
}

bool CBVKFileUtil::GetTemporaryFolder() {
  temporary_folder_ = CBVKFileUtil::AddTrailingSlash(platform::TemporaryFolder());
  return true;
}

bool CBVKFileUtil::GetWindowsFolder() {
  windows_folder_ = CBVKFileUtil::AddTrailingSlash(platform::WindowsFolder());
  return true;
}

bool CBVKFileUtil::GetDesktopFolder() {
  if (ReadFolderValue(HKEY_CURRENT_USER,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                      "Desktop", &desktop_folder_)) {
    return true;
  }
  error_.SetText("Could not locate the path to the desktop.");
  return false;
}

bool CBVKFileUtil::GetProgramFilesFolder() {
  if (ReadFolderValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir",
                      &program_files_folder_)) {
    return true;
  }
  error_.SetText("Could not locate the path of default program files folder.");
  return false;
}

bool CBVKFileUtil::GetCommonFilesFolder() {
  if (ReadFolderValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "CommonFilesDir",
                      &common_files_folder_)) {
    return true;
  }
  error_.SetText("Could not locate the path of the common files folder.");
  return false;
}

bool CBVKFileUtil::Exists(const std::string& path, bool* exists) {
  struct stat info {};
  if (stat(path.c_str(), &info) == 0) {
    *exists = true;
    return true;
  }
  std::uint32_t code = LastError();
  if (code == platform::kErrorFileNotFound || code == platform::kErrorPathNotFound) {
    *exists = false;
    return true;
  }
  return Fail("Could not search for the file: " + path, code);
}

bool CBVKFileUtil::GetFileInfo(const std::string& path, std::time_t* last_write) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    return Fail("Could not locate the file '" + path + "'.", LastError());
  }
  *last_write = info.st_mtime;
  return true;
}

bool CBVKFileUtil::GetFileSize(const std::string& path, std::uint64_t* size) {
  struct stat info {};
  std::uint32_t code = 0;
  if (stat(path.c_str(), &info) != 0) {
    code = LastError();
  } else if (S_ISDIR(info.st_mode)) {
    code = platform::kErrorAccessDenied;  // a folder cannot be opened as a file
  }
  if (code != 0) return Fail("Could not access the file '" + path + "'.", code);
  *size = static_cast<std::uint64_t>(info.st_size);
  return true;
}

bool CBVKFileUtil::CreateFolder(const std::string& path, Interactive interactive) {
  std::string folder = path;
  if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  // A server's share (/net/server/share) belongs to the server: it and the folders above it
  // are never created here, only the folders inside it.
  const std::string network_root = platform::NetworkShareFolder("", "");
  if (folder.starts_with(network_root) &&
      std::count(folder.begin() + network_root.size(), folder.end(), '/') < 2) {
    if (IsFolder(folder)) return true;
    return Fail("Could not create the directory: " + folder, kErrorBadNetworkPath);
  }
  // Missing folders above are created first, from the top; the root and the current
  // directory need no creating.
  std::size_t slash = folder.find_last_of('/');
  if (slash != std::string::npos && slash > 0) {
    std::string parent = folder.substr(0, slash);
    if (!IsFolder(parent) && !CreateFolder(parent, interactive)) return false;
  }
  for (;;) {
    if (mkdir(folder.c_str(), 0777) == 0) return true;
    int error_number = errno;
    // Only a folder of that name is the folder asked for; a file in its place is a failure.
    if (error_number == EEXIST && IsFolder(folder)) return true;
    Fail("Could not create the directory: " + folder, platform::Win32FromErrno(error_number));
    if (interactive == Interactive::No || error_.AskRetry() != kIdRetry) return false;
  }
}

bool CBVKFileUtil::RemoveFolder(const std::string& path, Interactive interactive) {
  std::string folder = path;
  if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  for (;;) {
    // A folder that is already gone is removed, as a missing file is deleted.
    if (rmdir(folder.c_str()) == 0 || errno == ENOENT) return true;
    Fail("Could not remove the directory '" + path + "'.", LastError());
    if (interactive == Interactive::No) return false;
    int answer = error_.AskAbortRetryIgnoreStop();
    if (answer == kIdIgnore) return true;
    if (answer != kIdRetry) return false;
  }
}

bool CBVKFileUtil::Delete(const std::string& path, Interactive interactive) {
  for (;;) {
    // Deleting until the file is reported missing is what makes a missing file a success.
    while (unlink(path.c_str()) == 0) {
    }
    std::uint32_t code = LastError();
    if (code == platform::kErrorFileNotFound) return true;
    Fail("Could not delete the file: " + path, code);
    if (interactive == Interactive::No) return false;
    int answer = error_.AskAbortRetryIgnore();
    if (answer == kIdIgnore) return true;
    if (answer != kIdRetry) return false;
  }
}

bool CBVKFileUtil::Copy(const std::string& source, const std::string& destination,
                        Interactive interactive, CopyQuestion question) {
  for (;;) {
    platform::CopyOutcome outcome = platform::CopyFileAtomically(source, destination);
    if (outcome.error == 0) {
      // A copy keeps the source's last-write time, which installs compare.
      struct stat info {};
      if (stat(source.c_str(), &info) == 0) {
        const struct timespec times[2] = {info.st_atim, info.st_mtim};
        utimensat(AT_FDCWD, destination.c_str(), times, 0);
      }
      return true;
    }
    Fail("Could not copy the file: " + source + " to: " + destination, outcome.error);
    // A copy stopped by Ctrl-C is the user's answer already.
    if (interactive == Interactive::No || outcome.error == platform::kErrorCancelled) return false;
    if (question == CopyQuestion::RetryCancel) {
      if (error_.AskRetry() != kIdRetry) return false;
    } else {
      int answer = error_.AskAbortRetryIgnore();
      if (answer == kIdIgnore) return true;
      if (answer != kIdRetry) return false;
    }
  }
}

bool CBVKFileUtil::SetAttributes(const std::string& path, std::uint32_t attributes,
                                 Interactive interactive) {
  for (;;) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0) {
      mode_t mode = info.st_mode & 07777;
      // Read-only takes every write permission away; clearing it gives the owner's back.
      mode = (attributes & kAttributeReadOnly) ? (mode & ~mode_t{0222}) : (mode | S_IWUSR);
      if (chmod(path.c_str(), mode) == 0) return true;
    }
    Fail("Could not set attributes on the file '" + path + "'.", LastError());
    if (interactive == Interactive::No || error_.AskRetry() != kIdRetry) return false;
  }
}

void CBVKFileUtil::ExpandName(std::string* name) {
  static constexpr std::string_view kPairs[][2] = {{".ex_", ".exe"}, {".da_", ".dat"},
                                                   {".hl_", ".hlp"}, {".tl_", ".tlb"},
                                                   {".md_", ".mdb"}, {".dl_", ".dll"}};
  for (const auto& pair : kPairs) {
    if (name->ends_with(pair[0])) {
      name->replace(name->size() - pair[0].size(), pair[0].size(), pair[1]);
      return;
    }
  }
}

std::string CBVKFileUtil::AddTrailingSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string CBVKFileUtil::GetFileName(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace tessary
