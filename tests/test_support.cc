#include "test_support.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tessary::testing {
namespace {
const char* const kVariables[5] = {"BRENVIK_ROOT", "HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                                   "TMPDIR"};
// Programs the tests start open no window on the desktop of whoever runs them.
const char* const kDisplayVariables[2] = {"DISPLAY", "WAYLAND_DISPLAY"};
}

ScopedMachine::ScopedMachine() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "tessary-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  root_ = pattern;
  const std::filesystem::path values[5] = {root_ / "machine", Home(), ConfigHome(), DataHome(),
                                           root_ / "tmp"};
  for (int i = 0; i < 5; ++i) {
    if (const char* old = std::getenv(kVariables[i])) {
      had_[i] = true;
      saved_[i] = old;
    }
    std::filesystem::create_directories(values[i]);
    setenv(kVariables[i], values[i].c_str(), 1);
  }
  for (int i = 0; i < 2; ++i) {
    if (const char* old = std::getenv(kDisplayVariables[i])) saved_displays_[i] = old;
    unsetenv(kDisplayVariables[i]);
  }
}

ScopedMachine::~ScopedMachine() {
  for (int i = 0; i < 2; ++i) {
    if (saved_displays_[i]) setenv(kDisplayVariables[i], saved_displays_[i]->c_str(), 1);
  }
  for (int i = 0; i < 5; ++i) {
    if (had_[i])
      setenv(kVariables[i], saved_[i].c_str(), 1);
    else
      unsetenv(kVariables[i]);
  }
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

bool PrerequisitesRequired() {
  const char* value = std::getenv("TESSARY_REQUIRE_ALL");
  return value && *value && std::string(value) != "0";
}

std::string ReadFileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteFileText(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

}  // namespace tessary::testing
