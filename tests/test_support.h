#pragma once
// Shared fixtures for every test program: a private machine (registry root, home and XDG folders
// in a temporary folder) and the rule that a missing prerequisite fails the run in CI.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

namespace tessary::testing {

// Redirects BRENVIK_ROOT, HOME, XDG_CONFIG_HOME, XDG_DATA_HOME and TMPDIR below a fresh temporary
// folder for its lifetime, and hides DISPLAY and WAYLAND_DISPLAY, so nothing a test does touches
// the real machine or opens a window on its desktop.
class ScopedMachine {
 public:
  ScopedMachine();
  ~ScopedMachine();
  ScopedMachine(const ScopedMachine&) = delete;
  ScopedMachine& operator=(const ScopedMachine&) = delete;

  const std::filesystem::path& Root() const { return root_; }
  std::filesystem::path Home() const { return root_ / "home"; }
  std::filesystem::path DataHome() const { return root_ / "home/.local/share"; }
  std::filesystem::path ConfigHome() const { return root_ / "home/.config"; }

 private:
  std::filesystem::path root_;
  std::string saved_[5];
  std::optional<std::string> saved_displays_[2];
  bool had_[5] = {};
};

// A fixture that gives each test its own machine.
class MachineTest : public ::testing::Test {
 protected:
  ScopedMachine machine_;
};

// True when TESSARY_REQUIRE_ALL is set: a prerequisite that is missing then fails the test
// instead of skipping it, so CI cannot pass by running nothing.
bool PrerequisitesRequired();

std::string ReadFileText(const std::filesystem::path& path);
void WriteFileText(const std::filesystem::path& path, const std::string& text);

}  // namespace tessary::testing

// Skips the current test for a missing prerequisite, or fails it when prerequisites are required.
#define TESSARY_REQUIRE_PREREQUISITE(ok, why)                                 \
  do {                                                                        \
    if (!(ok)) {                                                              \
      if (::tessary::testing::PrerequisitesRequired()) FAIL() << (why);       \
      GTEST_SKIP() << (why);                                                  \
    }                                                                         \
  } while (0)
