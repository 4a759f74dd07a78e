#pragma once
// File versions as Windows keeps them: the fixed version block (VS_FIXEDFILEINFO) inside the
// file, found by its signature 0xFEEF04BD. The version installer compares the versions of a new
// file and an installed one and copies only when the new file is newer or none is installed,
// answering with the VIF_* flags of the Windows version library.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tessary::platform {

struct FileVersion {
  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint16_t build = 0;
  std::uint16_t revision = 0;
  auto operator<=>(const FileVersion&) const = default;
};

// The version of the first fixed version block in the bytes, or nothing when there is none.
std::optional<FileVersion> FindFixedVersion(std::string_view bytes);

// The version of a file. Nothing with *error 0 when the file has no version block; nothing with
// the Win32 code in *error when the file cannot be read.
std::optional<FileVersion> ReadFileVersion(const std::string& path, std::uint32_t* error);

// Version installer flags (VIF_*).
inline constexpr std::uint32_t kVifTempFile = 0x1;
inline constexpr std::uint32_t kVifMismatch = 0x2;
inline constexpr std::uint32_t kVifSrcOld = 0x4;
inline constexpr std::uint32_t kVifDiffLang = 0x8;
inline constexpr std::uint32_t kVifDiffCodePage = 0x10;
inline constexpr std::uint32_t kVifDiffType = 0x20;
inline constexpr std::uint32_t kVifWriteProt = 0x40;
inline constexpr std::uint32_t kVifFileInUse = 0x80;
inline constexpr std::uint32_t kVifOutOfSpace = 0x100;
inline constexpr std::uint32_t kVifAccessViolation = 0x200;
inline constexpr std::uint32_t kVifSharingViolation = 0x400;
inline constexpr std::uint32_t kVifCannotCreate = 0x800;
inline constexpr std::uint32_t kVifCannotDelete = 0x1000;
inline constexpr std::uint32_t kVifCannotRename = 0x2000;
inline constexpr std::uint32_t kVifCannotDeleteCur = 0x4000;
inline constexpr std::uint32_t kVifOutOfMemory = 0x8000;
inline constexpr std::uint32_t kVifCannotReadSrc = 0x10000;
inline constexpr std::uint32_t kVifCannotReadDst = 0x20000;
inline constexpr std::uint32_t kVifBuffTooSmall = 0x40000;

// Installs source_folder + source_name as destination_folder + destination_name when the source
// is newer than the installed file (a file without a version block counts as 0.0.0.0) or no file
// is installed; 0 when it was copied, kVifSrcOld when the installed file was kept, else the
// flags saying what failed.
std::uint32_t InstallVersionedFile(const std::string& source_folder, const std::string& source_name,
                                   const std::string& destination_folder,
                                   const std::string& destination_name);

}  // namespace tessary::platform
