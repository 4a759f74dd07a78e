#include "registry_test_util.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tessary::platform {
namespace {
constexpr uid_t kNobody = 65534;
}

std::uint32_t SetText(const RegKey& key, const std::string& name, const std::string& text) {
  return RegSetValue(key, name, REG_SZ, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                     static_cast<std::uint32_t>(text.size() + 1));
}

int RunUnprivileged(const std::function<int()>& body) {
  if (geteuid() != 0) return body();
  pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(100);
    _exit(body());
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

void MakeReadableByAll(const std::filesystem::path& folder) {
  chmod(folder.c_str(), 0755);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    chmod(entry.path().c_str(), entry.is_directory() ? 0755 : 0644);
}

}  // namespace tessary::platform
