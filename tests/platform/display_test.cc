// Whether a display is there to open windows on: named by the session, and answering.
#include "platform/ui/display.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "test_support.h"

namespace tessary::testing {
namespace {

// A socket that takes connections at a path for as long as it lives.
class LocalListener {
 public:
  explicit LocalListener(const std::string& path) : fd_(socket(AF_UNIX, SOCK_STREAM, 0)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    listening_ = bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                 listen(fd_, 4) == 0;
  }
  ~LocalListener() { close(fd_); }
  bool listening() const { return listening_; }

 private:
  int fd_;
  bool listening_ = false;
};

// A TCP listener on 127.0.0.1 at the first free port of an X display number from 40 on.
class XTcpListener {
 public:
  XTcpListener() : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    for (number_ = 40; number_ < 100; ++number_) {
      sockaddr_in address{};
      address.sin_family = AF_INET;
      address.sin_port = htons(static_cast<uint16_t>(6000 + number_));
      address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      if (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
          listen(fd_, 4) == 0) {
        return;
      }
    }
    number_ = -1;
  }
  ~XTcpListener() { close(fd_); }
  int number() const { return number_; }

 private:
  int fd_;
  int number_ = -1;
};

void SetDisplays(const char* x, const char* wayland) {
  if (x) setenv("DISPLAY", x, 1); else unsetenv("DISPLAY");
  if (wayland) setenv("WAYLAND_DISPLAY", wayland, 1); else unsetenv("WAYLAND_DISPLAY");
}

class DisplayTest : public MachineTest {};

TEST_F(DisplayTest, ADisplayCountsOnlyWhenItsServerAnswers) {
  SetDisplays(nullptr, nullptr);
  EXPECT_FALSE(platform::HasDisplay());
  // Named, but nothing listens: what a closed ssh session or a stopped Xvfb leaves behind.
  const std::string socket_path = (machine_.Root() / "wayland-test").string();
  SetDisplays(":9871", socket_path.c_str());
  EXPECT_FALSE(platform::HasDisplay());
  {
    LocalListener wayland(socket_path);
    ASSERT_TRUE(wayland.listening());
    EXPECT_TRUE(platform::HasDisplay());
    // A name is looked for in the runtime folder.
    setenv("XDG_RUNTIME_DIR", machine_.Root().c_str(), 1);
    SetDisplays(nullptr, "wayland-test");
    EXPECT_TRUE(platform::HasDisplay());
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_FALSE(platform::HasDisplay());
  }
  XTcpListener x;
  ASSERT_GE(x.number(), 0);
  const std::string display = "127.0.0.1:" + std::to_string(x.number());
  SetDisplays(display.c_str(), nullptr);
  EXPECT_TRUE(platform::HasDisplay());
  SetDisplays((display + ".0").c_str(), nullptr);
  EXPECT_TRUE(platform::HasDisplay());
  for (const char* malformed : {"", "127.0.0.1", "127.0.0.1:x", ":-1", ":x.0", "::"}) {
    SetDisplays(malformed, nullptr);
    EXPECT_FALSE(platform::HasDisplay()) << malformed;
  }
}

}  // namespace
}  // namespace tessary::testing
