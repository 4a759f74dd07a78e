#pragma once
// Sets environment variables for one test and puts the old values back afterwards.

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace tessary::testing {

class ScopedEnv {
 public:
  ScopedEnv() = default;
  ~ScopedEnv() {
    for (const auto& [name, old] : saved_) {
      if (old) {
        setenv(name.c_str(), old->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

  void Set(const std::string& name, const std::string& value) {
    Remember(name);
    setenv(name.c_str(), value.c_str(), 1);
  }
  void Unset(const std::string& name) {
    Remember(name);
    unsetenv(name.c_str());
  }

 private:
  void Remember(const std::string& name) {
    if (saved_.count(name) != 0) return;
    const char* old = std::getenv(name.c_str());
    saved_[name] = old == nullptr ? std::nullopt : std::optional<std::string>(old);
  }
  std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace tessary::testing
