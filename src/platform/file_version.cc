#include "platform/file_version.h"

#include <sys/stat.h>

#include <cerrno>
#include <fstream>
#include <vector>

#include "platform/atomic_copy.h"
#include "platform/system_error.h"

namespace tessary::platform {
namespace {

// Signature, structure version, then the file version's high and low double words.
constexpr std::size_t kFixedInfoSize = 52;
constexpr unsigned char kSignature[4] = {0xBD, 0x04, 0xEF, 0xFE};

std::uint32_t LittleEndian32(const unsigned char* bytes) {
  return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
         (static_cast<std::uint32_t>(bytes[3]) << 24);
}

bool Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

std::uint32_t FlagsForCopyFailure(const CopyOutcome& outcome) {
  switch (outcome.stage) {
    case CopyOutcome::Stage::kReadSource:
      return kVifCannotReadSrc;
    case CopyOutcome::Stage::kCreateTemporary:
    case CopyOutcome::Stage::kWrite:
      if (outcome.error == kErrorDiskFull || outcome.error == kErrorHandleDiskFull) {
        return kVifTempFile | kVifOutOfSpace;
      }
      if (outcome.error == kErrorAccessDenied) return kVifWriteProt | kVifCannotCreate;
      return kVifCannotCreate;
    case CopyOutcome::Stage::kRename:
      if (outcome.error == kErrorAccessDenied) return kVifTempFile | kVifAccessViolation;
      return kVifTempFile | kVifCannotRename;
    case CopyOutcome::Stage::kNone:
      break;
  }
  return 0;
}

}  // namespace

std::optional<FileVersion> FindFixedVersion(std::string_view bytes) {
  for (std::size_t at = 0; at + kFixedInfoSize <= bytes.size(); ++at) {
    const auto* here = reinterpret_cast<const unsigned char*>(bytes.data() + at);
    if (here[0] != kSignature[0] || here[1] != kSignature[1] || here[2] != kSignature[2] ||
        here[3] != kSignature[3]) {
      continue;
    }
    const std::uint32_t high = LittleEndian32(here + 8);
    const std::uint32_t low = LittleEndian32(here + 12);
    return FileVersion{static_cast<std::uint16_t>(high >> 16), static_cast<std::uint16_t>(high),
                       static_cast<std::uint16_t>(low >> 16), static_cast<std::uint16_t>(low)};
  }
  return std::nullopt;
}

std::optional<FileVersion> ReadFileVersion(const std::string& path, std::uint32_t* error) {
  *error = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = Win32FromErrno(errno);
    return std::nullopt;
  }
  // Scan in pieces; each piece keeps the tail of the one before, so a block split between two
  // pieces is still found.
  std::vector<char> buffer(1 << 20);
  std::string window;
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    window.append(buffer.data(), static_cast<std::size_t>(in.gcount()));
    if (auto version = FindFixedVersion(window)) return version;
    if (window.size() >= kFixedInfoSize) window.erase(0, window.size() - (kFixedInfoSize - 1));
  }
  if (in.bad()) *error = kErrorInvalidData;
  return std::nullopt;
}

std::uint32_t InstallVersionedFile(const std::string& source_folder, const std::string& source_name,
                                   const std::string& destination_folder,
                                   const std::string& destination_name) {
  const std::string source = source_folder + source_name;
  const std::string destination = destination_folder + destination_name;
  std::uint32_t error = 0;
  const FileVersion source_version = ReadFileVersion(source, &error).value_or(FileVersion{});
  if (error != 0) return kVifCannotReadSrc;
  if (Exists(destination)) {
    const std::optional<FileVersion> installed = ReadFileVersion(destination, &error);
    if (error != 0) return kVifCannotReadDst;
    if (source_version <= installed.value_or(FileVersion{})) return kVifSrcOld;
  }
  return FlagsForCopyFailure(CopyFileAtomically(source, destination));
}

}  // namespace tessary::platform
