#include "setup/removal_bounds.h"

#include <filesystem>
#include <optional>

#include "platform/special_folders.h"

namespace tessary::setup {
namespace {

namespace fs = std::filesystem;

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// The real path of a folder that may not exist yet: its existing part resolved, the rest kept.
std::string RealFolder(const std::string& path) {
  std::error_code error;
  const fs::path real = fs::weakly_canonical(path, error);
  return WithoutTrailingSlashes(error ? path : real.string());
}

bool IsBelow(const std::string& path, const std::string& folder) {
  if (folder == "/") return path.size() > 1 && path[0] == '/';
  return path.size() > folder.size() + 1 && path.compare(0, folder.size(), folder) == 0 &&
         path[folder.size()] == '/';
}

// True when every part between separators has a name and none is "." or "..".
bool HasOnlyNamedParts(const std::string& path, char separator, bool dots_allowed) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = path.find(separator, start);
    const std::string part = path.substr(start, end == std::string::npos ? end : end - start);
    if (part.empty() || (!dots_allowed && (part == "." || part == ".."))) return false;
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

}  // namespace

RemovalBounds::RemovalBounds(const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    if (!folder.empty() && folder[0] == '/') folders_.push_back(RealFolder(folder));
  }
}

RemovalBounds RemovalBounds::ForProduct(const std::string& product_folder, CBVKFileUtil& files) {
  std::vector<std::string> folders = {product_folder};
  if (files.GetSystemFolder()) folders.push_back(files.SystemFolder());
  if (files.GetCommonFilesFolder()) folders.push_back(files.CommonFilesFolder());
  for (const std::string& menu : ProgramsMenus().folders_) folders.push_back(menu);
  return RemovalBounds(folders);
}

RemovalBounds RemovalBounds::ProgramsMenus() {
  std::vector<std::string> folders;
  for (auto scope : {platform::ProgramsScope::kAllUsers, platform::ProgramsScope::kCurrentUser}) {
    if (const std::optional<std::string> menu = platform::ProgramsFolder(scope)) {
      folders.push_back(*menu);
    }
  }
  return RemovalBounds(folders);
}

bool RemovalBounds::Holds(const std::string& path) const {
  const std::string lexical = WithoutTrailingSlashes(path);
  if (lexical.size() < 2 || lexical[0] != '/' ||
      !HasOnlyNamedParts(lexical.substr(1), '/', false)) {
    return false;
  }
  // The entry itself is never followed (a link is deleted, not its target); the folders that
  // lead to it are.
  const std::size_t slash = lexical.find_last_of('/');
  const std::string parent = RealFolder(slash == 0 ? "/" : lexical.substr(0, slash));
  const std::string real = parent == "/" ? lexical.substr(slash) : parent + lexical.substr(slash);
  for (const std::string& folder : folders_) {
    if (IsBelow(real, folder)) return true;
  }
  return false;
}

bool IsRemovableKey(const std::string& parent, const std::string& name) {
  return !parent.empty() && !name.empty() && HasOnlyNamedParts(parent, '\\', true) &&
         HasOnlyNamedParts(name, '\\', true);
}

bool IsNamedKeyPath(const std::string& path) {
  return !path.empty() && HasOnlyNamedParts(path, '\\', true);
}

std::string EntryForMessage(const std::string& entry) {
  constexpr std::size_t kShown = 160;
  return entry.size() <= kShown ? entry : entry.substr(0, kShown) + "...";
}

}  // namespace tessary::setup
