#include "platform/process.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <thread>

#include "platform/system_error.h"

extern char** environ;

namespace tessary::platform {
namespace {

constexpr std::uint32_t kErrorDirectory = 267;  // "The directory name is invalid."

int WaitFor(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return 128 + WTERMSIG(status);
}

// Owns the spawn attribute objects for one call.
class SpawnActions {
 public:
  SpawnActions() { posix_spawn_file_actions_init(&actions_); }
  ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
  SpawnActions(const SpawnActions&) = delete;
  SpawnActions& operator=(const SpawnActions&) = delete;
  posix_spawn_file_actions_t* get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

}  // namespace

ProcessResult StartProcess(const std::vector<std::string>& argv, const std::string& working_folder,
                           Wait wait) {
  ProcessResult result;
  if (argv.empty() || argv[0].empty()) {
    result.error = kErrorInvalidParameter;
    return result;
  }
  SpawnActions actions;
  if (!working_folder.empty()) {
    struct stat folder;
    if (stat(working_folder.c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode)) {
      result.error = kErrorDirectory;
      return result;
    }
    if (int error = posix_spawn_file_actions_addchdir_np(actions.get(), working_folder.c_str())) {
      result.error = Win32FromErrno(error);
      return result;
    }
  }
  std::vector<char*> arguments;
  for (const std::string& argument : argv) arguments.push_back(const_cast<char*>(argument.c_str()));
  arguments.push_back(nullptr);
  pid_t pid = 0;
  int error =
      posix_spawnp(&pid, argv[0].c_str(), actions.get(), nullptr, arguments.data(), environ);
  if (error != 0) {
    result.error = Win32FromErrno(error);
    return result;
  }
  result.started = true;
  if (wait == Wait::Yes) {
    result.exit_code = WaitFor(pid);
  } else {
    // Somebody must collect the child when it ends, or it stays a zombie for our lifetime.
    std::thread([pid] { WaitFor(pid); }).detach();
  }
  return result;
}

}  // namespace tessary::platform
