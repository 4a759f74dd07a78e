#pragma once
// What a removal may touch. A setup log is a text file that anyone with write access to the
// install folder can change, so its entries are checked before they are undone: a path must lie
// inside one of the folders an install writes, and a registry key must lie at least two levels
// below its hive root. Whatever fails the check is left alone and reported.

#include <string>
#include <vector>

#include "support/bvk_file_util.h"

namespace tessary::setup {

class RemovalBounds {
 public:
  // The folders an install may write into, each an absolute path; empty texts are dropped.
  explicit RemovalBounds(const std::vector<std::string>& folders);
  // The product folder (the folder that holds the product's log), the system and common-files
  // folders and the Programs menu folders of all users and of the current user.
  static RemovalBounds ForProduct(const std::string& product_folder, CBVKFileUtil& files);
  // The Programs menu folders alone: where a Start-menu parent folder may be.
  static RemovalBounds ProgramsMenus();

  // True when the path lies strictly inside one of the folders: absolute, no "." or ".." part,
  // and no link on the way that leads out.
  bool Holds(const std::string& path) const;

 private:
  std::vector<std::string> folders_;  // real paths, without trailing "/"
};

// True when parent + "\" + name names a key at least two levels below its hive root with a name
// at every level.
bool IsRemovableKey(const std::string& parent, const std::string& name);

// True when the key path is below the hive root (not the root itself) with a name at every level.
bool IsNamedKeyPath(const std::string& path);

// An entry as a message shows it: long entries are cut.
std::string EntryForMessage(const std::string& entry);

}  // namespace tessary::setup
