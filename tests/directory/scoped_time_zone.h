#pragma once
// Fixes the process's time zone (TZ) for a scope and restores it afterwards. POSIX rule strings
// are used so the tests do not depend on the machine's time zone files.

#include <cstdlib>
#include <ctime>
#include <string>

namespace tessary::testing {

inline constexpr char kCentralEurope[] = "CET-1CEST,M3.5.0,M10.5.0/3";
inline constexpr char kUsEastern[] = "EST5EDT,M3.2.0,M11.1.0";

class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    const char* old = std::getenv("TZ");
    had_ = old != nullptr;
    if (had_) saved_ = old;
    Set(zone);
  }
  ~ScopedTimeZone() {
    if (had_) {
      Set(saved_.c_str());
    } else {
      unsetenv("TZ");
      tzset();
    }
  }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

  static void Set(const char* zone) {
    setenv("TZ", zone, 1);
    tzset();
  }

 private:
  bool had_ = false;
  std::string saved_;
};

}  // namespace tessary::testing
