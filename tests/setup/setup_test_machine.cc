#include "setup_test_machine.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "support/bvk_registry.h"

extern char** environ;

namespace tessary::setup::testing {

ProgramRun RunSetupProgram(const std::string& folder, const std::vector<std::string>& arguments,
                           const std::filesystem::path& scratch, int seconds) {
  const std::string out = (scratch / "stdout.txt").string();
  const std::string err = (scratch / "stderr.txt").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  std::vector<std::string> words = {SETUP_BINARY};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, SETUP_BINARY, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ProgramRun run;
  if (spawned != 0) return run;
  int status = 0;
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > limit) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = tessary::testing::ReadFileText(out);
  run.err = tessary::testing::ReadFileText(err);
  return run;
}

void SetupMachine::SetUp() { std::filesystem::create_directories(SourceFolder()); }

void SetupMachine::Source(const std::string& name, const std::string& text) const {
  tessary::testing::WriteFileText(name[0] == '/' ? name : SourceFolder() + name, text);
}

std::string SetupMachine::MachineFolder(const std::string& absolute) const {
  return machine_.Root().string() + "/machine" + absolute;
}

std::string SetupMachine::InstallFolder() const { return MachineFolder("/opt/Brenvik/"); }

namespace {

std::string ReadText(HKEY root, const std::string& key, const std::string& name) {
  CBVKRegistry registry;
  if (!registry.OpenKey(root, key, KEY_READ, CBVKRegistry::Create::No)) return "<missing>";
  std::string text;
  if (registry.ReadString(name, &text, {}, CBVKRegistry::Required::Yes)) return text;
  std::uint32_t number = 0;
  if (registry.ReadDWORD(name, &number, 0, CBVKRegistry::Required::Yes)) {
    return std::to_string(number);
  }
  return "<missing>";
}

void WriteText(HKEY root, const std::string& key, const std::string& name,
               const std::string& value) {
  CBVKRegistry registry;
  ASSERT_TRUE(registry.OpenKey(root, key));
  ASSERT_TRUE(registry.WriteString(name, value));
}

}  // namespace

std::string SetupMachine::RegistryText(bool machine, const std::string& key,
                                       const std::string& name) {
  return ReadText(machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, key, name);
}

std::string SetupMachine::ClassesText(const std::string& key, const std::string& name) {
  return ReadText(HKEY_CLASSES_ROOT, key, name);
}

void SetupMachine::SetClassesText(const std::string& key, const std::string& name,
                                  const std::string& value) {
  WriteText(HKEY_CLASSES_ROOT, key, name, value);
}

bool SetupMachine::RegistryKeyExists(bool machine, const std::string& key) {
  CBVKRegistry registry;
  return registry.OpenKey(machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, key, KEY_READ,
                          CBVKRegistry::Create::No);
}

void SetupMachine::SetRegistryText(bool machine, const std::string& key, const std::string& name,
                                   const std::string& value) {
  WriteText(machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, key, name, value);
}

}  // namespace tessary::setup::testing
