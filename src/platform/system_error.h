#pragma once
// Win32 system error codes stay the vocabulary of file, process and registry failures on Linux:
// errno values are mapped to them and the message table gives their words.

#include <cstdint>
#include <optional>
#include <string>

namespace tessary::platform {

inline constexpr std::uint32_t kErrorSuccess = 0;
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorPathNotFound = 3;
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorNotEnoughMemory = 8;
inline constexpr std::uint32_t kErrorInvalidData = 13;
inline constexpr std::uint32_t kErrorSharingViolation = 32;
inline constexpr std::uint32_t kErrorHandleDiskFull = 39;
inline constexpr std::uint32_t kErrorFileExists = 80;
inline constexpr std::uint32_t kErrorInvalidParameter = 87;
inline constexpr std::uint32_t kErrorDiskFull = 112;
inline constexpr std::uint32_t kErrorDirNotEmpty = 145;
inline constexpr std::uint32_t kErrorAlreadyExists = 183;
inline constexpr std::uint32_t kErrorMoreData = 234;
inline constexpr std::uint32_t kErrorNoMoreItems = 259;
inline constexpr std::uint32_t kErrorBadRegistryDatabase = 1009;  // ERROR_BADDB: hive unreadable
inline constexpr std::uint32_t kErrorKeyDeleted = 1018;
inline constexpr std::uint32_t kErrorCancelled = 1223;
inline constexpr std::uint32_t kErrorFileNotFoundInRegistry = 2;  // missing key or value

// The system's message for a code (as FormatMessage gives it, without a trailing line break),
// or nothing when the table has none.
std::optional<std::string> SystemMessage(std::uint32_t code);

// The Win32 code that stands for an errno value (ENOENT -> 2, EACCES -> 5, ENOSPC -> 112, ...).
std::uint32_t Win32FromErrno(int error_number);

}  // namespace tessary::platform
