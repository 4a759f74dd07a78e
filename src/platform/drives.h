#pragma once
// Drives as Linux has them: the mount points of real and network file systems. A network mount
// (CIFS "//server/share", NFS "server:/export") stands for a mapped network drive.

#include <string>
#include <vector>

namespace tessary::platform {

// Drive types with the Windows numbers.
enum DriveType : unsigned {
  kDriveUnknown = 0,
  kDriveRemovable = 2,
  kDriveFixed = 3,
  kDriveRemote = 4,
  kDriveCdRom = 5,
};

struct MountEntry {
  std::string device;
  std::string mount_point;  // with a trailing "/"
  std::string type;
};

// The entries of a mount table text (/proc/self/mounts format; octal escapes decoded), keeping
// only block devices and network file systems.
std::vector<MountEntry> ParseMountTable(const std::string& text);
// The machine's mount table; empty when it cannot be read.
std::vector<MountEntry> ReadMountTable();

// Network mounts give their server and share; false for any other entry.
bool NetworkMountSource(const MountEntry& entry, std::string* server, std::string* share);

// The drive type of a mount entry; removable is read from the device's sysfs entry.
DriveType DriveTypeOf(const MountEntry& entry);

// The volume label of a block device (from /dev/disk/by-label); empty when it has none.
std::string VolumeLabel(const std::string& device);

// The entry whose mount point holds the path (the longest one); nullptr when none does.
const MountEntry* MountHolding(const std::vector<MountEntry>& mounts, const std::string& path);

}  // namespace tessary::platform
