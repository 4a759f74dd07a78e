#pragma once
// Loading a library and its self-registration: dlopen, and the exported DllRegisterServer when
// the library has one.

#include <cstdint>
#include <string>

namespace tessary::platform {

inline constexpr std::uint32_t kErrorBadExeFormat = 193;

struct LibraryHandle {
  void* handle = nullptr;
};

// Loads the library at path and keeps it loaded for the life of the process. Returns 0, or the
// Win32 code (2 missing, 5 denied, 193 not a loadable library) with the loader's words in *reason.
std::uint32_t LoadLibraryFile(const std::string& path, LibraryHandle* library, std::string* reason);

// Calls the library's DllRegisterServer when it exports one; false when it has none.
bool CallRegisterServer(const LibraryHandle& library);

}  // namespace tessary::platform
