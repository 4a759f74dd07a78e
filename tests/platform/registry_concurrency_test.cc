#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/registry.h"
#include "registry_test_util.h"
#include "test_support.h"

namespace tessary::platform {
namespace {

constexpr int kWritesPerProcess = 60;

// Writes its own values into the shared key as soon as the start signal arrives.
pid_t StartWriter(const std::string& prefix, int start_pipe) {
  pid_t pid = fork();
  if (pid != 0) return pid;
  char go = 0;
  if (read(start_pipe, &go, 1) != 1) _exit(90);
  RegKey key;
  if (RegCreateKey(HKEY_CURRENT_USER, "Software\\Brenvik\\Shared", KEY_ALL_ACCESS, &key) != 0)
    _exit(91);
  for (int i = 0; i < kWritesPerProcess; ++i) {
    if (SetText(key, prefix + std::to_string(i), prefix) != 0) _exit(92);
  }
  _exit(0);
}

using RegistryConcurrencyTest = tessary::testing::MachineTest;

TEST_F(RegistryConcurrencyTest, TwoProcessesWritingOneKeyLoseNoValue) {
  int start[2];
  ASSERT_EQ(pipe(start), 0);
  pid_t first = StartWriter("first", start[0]);
  pid_t second = StartWriter("second", start[0]);
  ASSERT_GT(first, 0);
  ASSERT_GT(second, 0);
  ASSERT_EQ(write(start[1], "gg", 2), 2);
  close(start[0]);
  close(start[1]);
  for (pid_t pid : {first, second}) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  RegKey key;
  ASSERT_EQ(RegOpenKey(HKEY_CURRENT_USER, "Software\\Brenvik\\Shared", KEY_READ, &key), 0u);
  int count = 0;
  std::string name;
  while (RegEnumValue(key, count, &name) == 0) ++count;
  EXPECT_EQ(count, 2 * kWritesPerProcess);
  for (const char* prefix : {"first", "second"}) {
    for (int i = 0; i < kWritesPerProcess; ++i) {
      std::uint32_t type = 0;
      std::vector<std::uint8_t> data;
      std::string value = prefix + std::to_string(i);
      ASSERT_EQ(RegQueryValue(key, value, &type, &data), 0u) << value;
      EXPECT_EQ(std::string(data.begin(), data.end()).c_str(), std::string(prefix));
    }
  }
}

}  // namespace
}  // namespace tessary::platform
