#pragma once
// Files, folders, text files by lines and program start, for both programs. Every operation
// returns false with its sentence (beginning "Could not" and naming the file) and the system's
// reason on a second line in the error record; interactive operations ask their question through
// the UI host themselves. Paths are native: folder texts end with "/".

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "support/bvk_error.h"

namespace tessary {

class CBVKFileUtil {
 public:
  enum class Interactive { No, Yes };
  // WriteLines: Yes empties the file first, No writes at its end.
  enum class Overwrite { No, Yes };
  // Who may read a file the operation creates: kShared leaves it to the umask, kOwnerOnly makes
  // it readable and writable by its owner alone (files that may hold passwords).
  enum class Access { kShared, kOwnerOnly };
  // ListFiles: No lists folders only, Yes every entry.
  enum class IncludeFiles { No, Yes };
  // The question Copy asks when it fails interactively.
  enum class CopyQuestion { RetryCancel = 0, AbortRetryIgnore = 1 };

  // File attributes as SetAttributes takes them. Only read-only means something on a POSIX file
  // system (no write permission for anyone); the others are accepted and ignored.
  static constexpr std::uint32_t kAttributeReadOnly = 0x1;
  static constexpr std::uint32_t kAttributeHidden = 0x2;
  static constexpr std::uint32_t kAttributeSystem = 0x4;
  static constexpr std::uint32_t kAttributeArchive = 0x20;
  static constexpr std::uint32_t kAttributeNormal = 0x80;

  CBVKError& Error() { return error_; }
  const CBVKError& Error() const { return error_; }
  // Message boxes of this object are owned by the window and carry its title.
  void SetOwner(const platform::Window* owner) { error_.SetOwner(owner); }

  // Finds the common files, current (source), program files, system, temporary and Windows
  // folders in this order; fails with the message of the first that cannot be found.
  [[nodiscard]] bool InitFolders();
  // Each fills one folder; fails when the system or the registry cannot give it.
  [[nodiscard]] bool GetCurrentFolder();
  [[nodiscard]] bool GetSystemFolder();
  [[nodiscard]] bool GetTemporaryFolder();
  [[nodiscard]] bool GetWindowsFolder();
  [[nodiscard]] bool GetDesktopFolder();
  [[nodiscard]] bool GetProgramFilesFolder();
  [[nodiscard]] bool GetCommonFilesFolder();

  const std::string& SourceFolder() const { return source_folder_; }
  const std::string& SystemFolder() const { return system_folder_; }
  const std::string& DesktopFolder() const { return desktop_folder_; }
  const std::string& ProgramFilesFolder() const { return program_files_folder_; }
  const std::string& CommonFilesFolder() const { return common_files_folder_; }
  const std::string& TemporaryFolder() const { return temporary_folder_; }
  const std::string& WindowsFolder() const { return windows_folder_; }

  // *exists tells whether the path names anything; a missing file or folder on the way is a
  // successful "no". Fails only when the lookup itself fails (a loop of links, no permission).
  [[nodiscard]] bool Exists(const std::string& path, bool* exists);
  // The last-write time; fails when the file cannot be found.
  [[nodiscard]] bool GetFileInfo(const std::string& path, std::time_t* last_write);
  // The whole size in bytes; fails for a missing file or a folder.
  [[nodiscard]] bool GetFileSize(const std::string& path, std::uint64_t* size);
  // Creates the folder and every missing folder above it, but never a server's share
  // (/net/server/share) or what is above it; an existing folder is success, an existing file of
  // that name is a failure.
  [[nodiscard]] bool CreateFolder(const std::string& path,
                                  Interactive interactive = Interactive::No);
  // Removes one empty folder; a folder that is already gone counts as removed. Fails when it is
  // not empty or not a folder.
  [[nodiscard]] bool RemoveFolder(const std::string& path,
                                  Interactive interactive = Interactive::No);
  // Deletes a file; a file that is already missing is success. Fails for a folder.
  [[nodiscard]] bool Delete(const std::string& path, Interactive interactive = Interactive::No);
  // Copies a file over any existing destination (replaced whole, keeping the source's
  // permissions and last-write time); fails when the source cannot be read or the destination
  // not written, leaving an existing destination untouched.
  [[nodiscard]] bool Copy(const std::string& source, const std::string& destination,
                          Interactive interactive = Interactive::No,
                          CopyQuestion question = CopyQuestion::AbortRetryIgnore);
  // Sets or clears read-only; fails when the file is missing or its mode cannot be changed.
  [[nodiscard]] bool SetAttributes(const std::string& path, std::uint32_t attributes,
                                   Interactive interactive = Interactive::No);
  // Replaces *lines by the file's lines, line ends removed (LF, with a CR before it), at most
  // max_lines of them when that is 1 or more. Fails when the file cannot be opened or read.
  [[nodiscard]] bool ReadLines(const std::string& path, std::vector<std::string>* lines,
                               Interactive interactive = Interactive::No,
                               std::size_t max_lines = 0);
  // Replaces *bytes by the whole file; fails as ReadLines.
  [[nodiscard]] bool ReadFile(const std::string& path, std::string* bytes,
                              Interactive interactive = Interactive::No);
  // Writes each line followed by CR LF, replacing the file (Overwrite::Yes, atomically) or at
  // its end; creates a missing file. Fails when the file cannot be written or is read-only.
  [[nodiscard]] bool WriteLines(const std::string& path, const std::vector<std::string>& lines,
                                Overwrite overwrite, Interactive interactive = Interactive::No);
  // Appends one line, creating a missing file with the given access; fails as WriteLines.
  [[nodiscard]] bool AppendLine(const std::string& path, const std::string& line,
                                Access access = Access::kShared);
  // Creates a new empty file that only its owner may read and write, never opening one that is
  // there already: *taken tells that a file of that name exists (and nothing was created). Fails
  // with "Could not create the file '<path>'." and the reason.
  [[nodiscard]] bool CreateNewFile(const std::string& path, bool* taken);
  // Replaces *names by the sorted names in the folder matching the pattern (Windows wildcards
  // * and ?, compared without case; "*.*" matches every name). Fails when the folder cannot be
  // read; names found before a failure stay in the list.
  [[nodiscard]] bool ListFiles(const std::string& folder, std::vector<std::string>* names,
                               IncludeFiles include_files, const std::string& pattern = "*.*");
  // Starts folder + program with the arguments (split as a Windows command line; with folder and
  // program empty the arguments name the program first), in the folder when it is not empty,
  // without waiting. "Notepad.exe" opens its argument in the user's editor (see
  // bvk_command_line.h). Fails when the program cannot be started.
  [[nodiscard]] bool Run(const std::string& folder, const std::string& program,
                         const std::string& arguments);
  // Replaces a compressed suffix (".ex_", ".da_", ".hl_", ".tl_", ".md_", ".dl_") by its full
  // form.
  static void ExpandName(std::string* name);
  // The folder with a trailing "/" (unchanged when it has one).
  static std::string AddTrailingSlash(std::string folder);
  // The text after the last "/", or the whole path.
  static std::string GetFileName(const std::string& path);
  // Opens the address with the program registered for "http". Every failure (the registry, no
  // program registered, the program not starting) is shown with the stop icon and left in the
  // error record.
  [[nodiscard]] bool OpenInBrowser(const std::string& address);
  // Opens an HTML file with the program registered for "htmlfile"; fails as OpenInBrowser.
  [[nodiscard]] bool OpenHtmlFile(const std::string& path);

  // BEGIN setup operations (implemented in bvk_file_util_setup.cc)
  // Installs source_folder + source_name as destination_folder + destination_name: keeps an
  // installed copy that is not older than the source, else copies (version_checked: only a newer
  // version, by the version installer), then registers a "register" library and counts it as a
  // shared file. Appends its trace lines to trace_file when given. Fails with "Could not copy the
  // file: ..." (Abort/Retry/Ignore when interactive).
  [[nodiscard]] bool Install(const std::string& source_name, const std::string& destination_name,
                             const std::string& source_folder,
                             const std::string& destination_folder, bool register_library,
                             bool version_checked, Interactive interactive,
                             const std::string& trace_file);
  // The file version as "%d.%d.%d.%d" and its four parts (parts may be null). Fails with "Could
  // not retrieve information about '<path>'." for an unreadable or unversioned file.
  [[nodiscard]] bool GetVersion(const std::string& path, std::string* text,
                                std::uint16_t* parts = nullptr);
  // Writes a desktop entry at link_path that starts the target; fails with "Could not create
  // the shortcut '<link>'." and the reason.
  [[nodiscard]] bool CreateShortcut(const std::string& target, const std::string& link_path,
                                    const std::string& description);
  // Loads a library and keeps it loaded; fails with "Could not load the file '<path>'" and the
  // reason.
  [[nodiscard]] bool LoadModule(const std::string& path, void** handle);
  // The mount points of devices and network file systems; fails with the code only when the
  // mount table cannot be read.
  [[nodiscard]] bool ListDrives(std::vector<std::string>* roots);
  // Removable drives: no label; network drives: share + " on '" + Server + "'"; others: the
  // volume label. Fails for a root that is no mount point.
  [[nodiscard]] bool GetDriveLabel(const std::string& root, std::string* label,
                                   unsigned* drive_type);
  // A "\\server\share" path's root is up to the share; a native path's root is the mount point
  // that holds it.
  static void GetPathRoot(const std::string& path, std::string* root, std::size_t* length);
  // A path on a network mount becomes its automounter form /net/server/share/...
  static void ToNetworkPath(std::string* path);
  // The open and save pickers of the UI host; *cancelled tells whether the user cancelled.
  void BrowseForFile(std::string* path, const std::string& default_extension,
                     const std::string& filter, const platform::Window* parent, bool* cancelled);
  void BrowseForSaveFile(std::string* path, const std::string& default_extension,
                         const std::string& filter, const platform::Window* parent, bool* cancelled,
                         std::string* file_title = nullptr, std::string* folder = nullptr);
  // END setup operations

 private:
  // Sets the message to the sentence and adds the system's text for the Win32 code; false.
  bool Fail(const std::string& sentence, std::uint32_t code);
  bool OpenRegistered(const std::string& class_key, const std::string& target);

  CBVKError error_;
  std::string source_folder_;
  std::string system_folder_;
  std::string desktop_folder_;
  std::string program_files_folder_;
  std::string common_files_folder_;
  std::string temporary_folder_;
  std::string windows_folder_;
};

}  // namespace tessary
