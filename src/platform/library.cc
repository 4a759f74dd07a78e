#include "platform/library.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/system_error.h"

namespace tessary::platform {

std::uint32_t LoadLibraryFile(const std::string& path, LibraryHandle* library,
                              std::string* reason) {
  library->handle = nullptr;
  reason->clear();
  // A plain name is looked for by the loader's own search, as the system's library search does.
  if (path.find('/') != std::string::npos) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return Win32FromErrno(errno);
  }
  library->handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library->handle) return 0;
  if (const char* words = dlerror()) *reason = words;
  return path.find('/') == std::string::npos ? kErrorFileNotFound : kErrorBadExeFormat;
}

bool CallRegisterServer(const LibraryHandle& library) {
  if (!library.handle) return false;
  using RegisterServer = std::int32_t (*)();
  void* symbol = dlsym(library.handle, "DllRegisterServer");
  if (!symbol) return false;
  reinterpret_cast<RegisterServer>(symbol)();  // its answer is not the installer's business
  return true;
}

}  // namespace tessary::platform
