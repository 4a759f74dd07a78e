#include "platform/drives.h"

#include <limits.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace tessary::platform {
namespace {

bool IsNetworkType(const std::string& type) {
  return type == "cifs" || type == "smb3" || type == "smbfs" || type == "nfs" || type == "nfs4" ||
         type == "fuse.sshfs";
}

// Mount tables escape blanks, tabs, line feeds and backslashes as three octal digits.
std::string DecodeOctal(const std::string& field) {
  std::string decoded;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && field.size() - i > 3) {
      const std::string digits = field.substr(i + 1, 3);
      if (digits.find_first_not_of("01234567") == std::string::npos) {
        decoded += static_cast<char>(std::stoi(digits, nullptr, 8));
        i += 3;
        continue;
      }
    }
    decoded += field[i];
  }
  return decoded;
}

std::string RealPath(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

}  // namespace

std::vector<MountEntry> ParseMountTable(const std::string& text) {
  std::vector<MountEntry> mounts;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    MountEntry entry;
    if (!(fields >> entry.device >> entry.mount_point >> entry.type)) continue;
    entry.device = DecodeOctal(entry.device);
    entry.mount_point = DecodeOctal(entry.mount_point);
    if (entry.device.empty() || (entry.device[0] != '/' && !IsNetworkType(entry.type))) continue;
    if (entry.mount_point.back() != '/') entry.mount_point += '/';
    mounts.push_back(entry);
  }
  return mounts;
}

std::vector<MountEntry> ReadMountTable() {
  std::ifstream in("/proc/self/mounts");
  std::ostringstream text;
  text << in.rdbuf();
  return ParseMountTable(text.str());
}

bool NetworkMountSource(const MountEntry& entry, std::string* server, std::string* share) {
  if (!IsNetworkType(entry.type)) return false;
  const std::string& device = entry.device;
  if (device.compare(0, 2, "//") == 0) {  // CIFS: //server/share
    std::size_t slash = device.find('/', 2);
    *server = device.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
    *share = slash == std::string::npos ? std::string() : device.substr(slash + 1);
    return true;
  }
  std::size_t colon = device.find(':');  // NFS and sshfs: server:/export
  if (colon == std::string::npos) return false;
  *server = device.substr(0, colon);
  *share = device.substr(colon + 1);
  while (!share->empty() && share->front() == '/') share->erase(0, 1);
  return true;
}

DriveType DriveTypeOf(const MountEntry& entry) {
  if (IsNetworkType(entry.type)) return kDriveRemote;
  if (entry.type == "iso9660" || entry.type == "udf") return kDriveCdRom;
  // /sys/class/block/<name>/removable, or that of the disk holding the partition.
  const std::string name = std::filesystem::path(RealPath(entry.device)).filename().string();
  for (const std::string& candidate :
       {"/sys/class/block/" + name + "/removable", "/sys/class/block/" + name + "/../removable"}) {
    std::ifstream in(candidate);
    int removable = 0;
    if (in >> removable) return removable ? kDriveRemovable : kDriveFixed;
  }
  return kDriveFixed;
}

std::string VolumeLabel(const std::string& device) {
  const std::string target = RealPath(device);
  std::error_code error;
  for (const auto& link : std::filesystem::directory_iterator("/dev/disk/by-label", error)) {
    if (RealPath(link.path().string()) == target) return link.path().filename().string();
  }
  return {};
}

const MountEntry* MountHolding(const std::vector<MountEntry>& mounts, const std::string& path) {
  const MountEntry* best = nullptr;
  const std::string folder = path.empty() || path.back() == '/' ? path : path + "/";
  for (const MountEntry& entry : mounts) {
    if (folder.compare(0, entry.mount_point.size(), entry.mount_point) == 0 &&
        (!best || entry.mount_point.size() > best->mount_point.size())) {
      best = &entry;
    }
  }
  return best;
}

}  // namespace tessary::platform
