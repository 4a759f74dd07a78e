// The operations of the file utility that only setup uses: installing with version checks and
// self-registration, versions, shortcuts, libraries, drives and the file pickers.
#include <fcntl.h>
#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <ctime>

#include "platform/drives.h"
#include "platform/file_version.h"
#include "platform/interrupt.h"
#include "platform/library.h"
#include "platform/shortcut.h"
#include "platform/system_error.h"
#include "support/bvk_file_util.h"
#include "support/bvk_registry.h"
#include "support/date_time_text.h"

namespace tessary {
namespace {

using platform::kIdIgnore;
using platform::kIdRetry;

// The problem lines of the version installer's flags, in the order they are reported.
struct FlagText {
  std::uint32_t flag;
  const char* text;
};
constexpr FlagText kInstallProblems[] = {
    {0x2, "\nThe new and preexisting files differ in one or more attributes."},
    {0x8, "\nThe new and preexisting files have different languages."},
    {0x10,
     "\nThe new file requires a code page that cannot be displayed by the version of the system "
     "currently running."},
    {0x20,
     "\nThe new file has a different type, subtype, or operating system from the "
     "preexisting file."},
    {0x40, "\nThe preexisting file is write-protected."},
    {0x80, "\nThe preexisting file is in use by the system and cannot be deleted."},
    {0x100,
     "\nCannot create the temporary file due to insufficient disk space on the destination "
     "drive."},
    {0x200, "\nThe operation failed due to an access violation."},
    {0x400, "\nThe operation failed due to a sharing violation."},
    {0x800, "\nCannot create a temporary file."},
    {0x1000,
     "\nCannot delete the destination file, or cannot delete the existing version of the file "
     "located in another directory."},
    {0x4000, "\nThe existing version of the file could not be deleted."},
    {0x2000, "\nCannot rename the temporary file, but already deleted the destination file."},
    {0x8000, "\nCannot complete the requested operation due to insufficient memory."},
    {0x10000, "\nCannot read the source file."},
    {0x20000, "\nCannot read the destination file."},
    {0x40000, "\nAn invalid buffer parameter was specified."},
};

// Flags that still count as a successful install: the installed file was kept on purpose.
constexpr std::uint32_t kKeptFlags = 0xCE | 0x600;
// Flags that say the install really failed.
constexpr std::uint32_t kErrorFlags = 0x7B900;

bool FileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

// Adds one to the shared-file count of a library, as Windows counts shared DLLs.
void CountSharedFile(const std::string& path) {
  CBVKRegistry registry;
  if (!registry.OpenKey(HKEY_LOCAL_MACHINE,
                        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls")) {
    return;
  }
  std::uint32_t count = 0;
  if (registry.ReadDWORD(path, &count)) (void)registry.WriteDWORD(path, count + 1);
}

void KeepLastWriteTime(const std::string& source, const std::string& destination) {
  struct stat info {};
  if (stat(source.c_str(), &info) != 0) return;
  const struct timespec times[2] = {info.st_atim, info.st_mtim};
  utimensat(AT_FDCWD, destination.c_str(), times, 0);
}

}  // namespace

bool CBVKFileUtil::Install(const std::string& source_name, const std::string& destination_name,
                           const std::string& source_folder, const std::string& destination_folder,
                           bool register_library, bool version_checked, Interactive interactive,
                           const std::string& trace_file) {
  const std::string source = source_folder + source_name;
  const std::string destination = destination_folder + destination_name;
  bool kept = false;
  std::time_t source_time = 0;
  if (GetFileInfo(source, &source_time)) {
    if (!trace_file.empty() &&
        !AppendLine(trace_file, "Source (" + FormatDateTime(source_time) + ") " + source)) {
      return false;
    }
    std::time_t destination_time = 0;
    if (FileExists(destination) && GetFileInfo(destination, &destination_time)) {
      if (!trace_file.empty() &&
          !AppendLine(trace_file,
                      "- Dest (" + FormatDateTime(destination_time) + ") " + destination)) {
        return false;
      }
      kept = destination_time < std::time(nullptr) && source_time <= destination_time;
    }
  }
  if (!kept && version_checked) {
    for (;;) {
      const std::uint32_t flags = platform::InstallVersionedFile(
          source_folder, source_name, destination_folder, destination_name);
      if (flags == 0) KeepLastWriteTime(source, destination);
      if (flags == 0 || (flags & kKeptFlags) || FileExists(destination) || !(flags & kErrorFlags)) {
        kept = flags != 0;
        break;
      }
      std::string text = "Could not copy the file: " + source + "\nto: " + destination;
      for (const FlagText& problem : kInstallProblems) {
        if (flags & problem.flag) text += problem.text;
      }
      error_.SetText(text);
      if (interactive == Interactive::No || platform::InterruptRequested()) return false;
      const int answer = error_.AskAbortRetryIgnoreStop();
      if (answer == kIdIgnore) return true;
      if (answer != kIdRetry) return false;
    }
  } else if (!kept) {
    if (!Copy(source, destination, interactive, CopyQuestion::AbortRetryIgnore)) return false;
  }
  if (!kept && FileExists(destination)) {
    (void)SetAttributes(destination, kAttributeNormal);
    if (register_library) {
      // The library stays loaded; what its registration answers is not checked.
      platform::LibraryHandle library;
      std::string reason;
      if (platform::LoadLibraryFile(destination, &library, &reason) == 0) {
        platform::CallRegisterServer(library);
      }
      CountSharedFile(destination);
    }
  }
  std::time_t installed_time = 0;
  if (!trace_file.empty() && FileExists(destination) && GetFileInfo(destination, &installed_time)) {
    const std::string mark = kept ? "o " : "* ";
    if (!AppendLine(trace_file, mark + "(" + FormatDateTime(installed_time) + ") " + destination)) {
      return false;
    }
  }
  return true;
}

bool CBVKFileUtil::GetVersion(const std::string& path, std::string* text, std::uint16_t* parts) {
  std::uint32_t error = 0;
  const std::optional<platform::FileVersion> version = platform::ReadFileVersion(path, &error);
  if (!version) {
    // ERROR_RESOURCE_TYPE_NOT_FOUND: the file holds no version block.
    return Fail("Could not retrieve information about '" + path + "'.", error ? error : 1813);
  }
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%d.%d.%d.%d", version->major, version->minor,
                version->build, version->revision);
  *text = buffer;
  if (parts) {
    parts[0] = version->major;
    parts[1] = version->minor;
    parts[2] = version->build;
    parts[3] = version->revision;
  }
  return true;
}

bool CBVKFileUtil::CreateShortcut(const std::string& target, const std::string& link_path,
                                  const std::string& description) {
  const std::uint32_t error = platform::CreateDesktopShortcut(target, link_path, description);
  if (error == 0) return true;
  return Fail("Could not create the shortcut '" + link_path + "'.", error);
}

bool CBVKFileUtil::LoadModule(const std::string& path, void** handle) {
  platform::LibraryHandle library;
  std::string reason;
  const std::uint32_t error = platform::LoadLibraryFile(path, &library, &reason);
  *handle = library.handle;
  if (error == 0) return true;
  Fail("Could not load the file '" + path + "'", error);
  if (!reason.empty()) error_.AddLine(reason);
  return false;
}

bool CBVKFileUtil::ListDrives(std::vector<std::string>* roots) {
  roots->clear();
  const std::vector<platform::MountEntry> mounts = platform::ReadMountTable();
  if (mounts.empty()) {
    error_.SetText({});
    error_.SetSystemError(platform::kErrorPathNotFound);
    return false;
  }
  for (const platform::MountEntry& entry : mounts) roots->push_back(entry.mount_point);
  return true;
}

bool CBVKFileUtil::GetDriveLabel(const std::string& root, std::string* label,
                                 unsigned* drive_type) {
  label->clear();
  *drive_type = platform::kDriveUnknown;
  const std::string folder = AddTrailingSlash(root);
  for (const platform::MountEntry& entry : platform::ReadMountTable()) {
    if (entry.mount_point != folder) continue;
    *drive_type = platform::DriveTypeOf(entry);
    std::string server, share;
    if (platform::NetworkMountSource(entry, &server, &share)) {
      for (std::size_t i = 0; i < server.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(server[i]);
        server[i] = static_cast<char>(i == 0 ? std::toupper(c) : std::tolower(c));
      }
      *label = share + " on '" + server + "'";
    } else if (*drive_type != platform::kDriveRemovable) {
      *label = platform::VolumeLabel(entry.device);
    }
    return true;
  }
  return Fail("Could not access '" + root + "'.", platform::kErrorPathNotFound);
}

void CBVKFileUtil::GetPathRoot(const std::string& path, std::string* root, std::size_t* length) {
  if (path.compare(0, 2, "\\\\") == 0) {
    // Everything before the backslash that ends the share name.
    std::size_t server_end = path.find('\\', 2);
    std::size_t share_end =
        server_end == std::string::npos ? std::string::npos : path.find('\\', server_end + 1);
    *root = path.substr(0, share_end);
  } else {
    const std::vector<platform::MountEntry> mounts = platform::ReadMountTable();
    const platform::MountEntry* mount = platform::MountHolding(mounts, path);
    *root = mount ? mount->mount_point : std::string(path.empty() ? "" : "/");
  }
  *length = root->size();
}

void CBVKFileUtil::ToNetworkPath(std::string* path) {
  const std::vector<platform::MountEntry> mounts = platform::ReadMountTable();
  const platform::MountEntry* mount = platform::MountHolding(mounts, *path);
  std::string server, share;
  if (!mount || !platform::NetworkMountSource(*mount, &server, &share)) return;
  const std::string rest = path->size() > mount->mount_point.size()
                               ? path->substr(mount->mount_point.size())
                               : std::string();
  *path = "/net/" + server + "/" + share + (rest.empty() ? "" : "/" + rest);
}

void CBVKFileUtil::BrowseForFile(std::string* path, const std::string& default_extension,
                                 const std::string& filter, const platform::Window* parent,
                                 bool* cancelled) {
  platform::FileDialogRequest request;
  request.title = parent ? parent->title : std::string();
  request.initial_path = *path;
  request.default_extension = default_extension;
  if (!filter.empty()) request.filters.push_back(filter);
  const std::optional<std::string> chosen = platform::CurrentUiHost().ChooseOpenFile(request);
  *cancelled = !chosen;
  if (chosen) *path = *chosen;
}

void CBVKFileUtil::BrowseForSaveFile(std::string* path, const std::string& default_extension,
                                     const std::string& filter, const platform::Window* parent,
                                     bool* cancelled, std::string* file_title,
                                     std::string* folder) {
  platform::FileDialogRequest request;
  request.title = parent ? parent->title : std::string();
  request.initial_path = *path;
  request.default_extension = default_extension;
  if (!filter.empty()) request.filters.push_back(filter);
  const std::optional<std::string> chosen = platform::CurrentUiHost().ChooseSaveFile(request);
  *cancelled = !chosen;
  if (!chosen) return;
  *path = *chosen;
  const std::string title = GetFileName(*path);
  if (file_title) *file_title = title;
  if (folder) *folder = path->substr(0, path->size() - title.size());
}

}  // namespace tessary
