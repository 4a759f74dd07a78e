#include "platform/ui/display.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/file_descriptor.h"

namespace tessary::platform {
namespace {

constexpr int kRemoteWaitMilliseconds = 3000;

std::string_view Variable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string_view() : std::string_view(value);
}

// abstract: Linux's abstract socket namespace, where X servers also listen.
bool ConnectsLocal(std::string_view path, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::size_t offset = abstract ? 1 : 0;
  if (path.empty() || path.size() + offset >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path + offset, path.data(), path.size());
  const socklen_t length =
      static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
  FileDescriptor socket_fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  return socket_fd.get() >= 0 &&
         ::connect(socket_fd.get(), reinterpret_cast<const sockaddr*>(&address), length) == 0;
}

// A remote server that drops packets must not hold the program's start for minutes.
bool ConnectsWithin(int fd, const sockaddr* address, socklen_t length, int milliseconds) {
  if (::connect(fd, address, length) == 0) return true;
  if (errno != EINPROGRESS) return false;
  pollfd wait{fd, POLLOUT, 0};
  if (::poll(&wait, 1, milliseconds) != 1) return false;
  int error = 0;
  socklen_t size = sizeof error;
  return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

bool ConnectsTcp(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
  bool connected = false;
  for (addrinfo* a = found; a != nullptr && !connected; a = a->ai_next) {
    FileDescriptor socket_fd(
        ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol));
    connected = socket_fd.get() >= 0 && ConnectsWithin(socket_fd.get(), a->ai_addr, a->ai_addrlen,
                                                       kRemoteWaitMilliseconds);
  }
  ::freeaddrinfo(found);
  return connected;
}

bool WaylandReachable(std::string_view name) {
  if (name.empty()) return false;
  if (name.front() == '/') return ConnectsLocal(name, false);
  const std::string_view runtime = Variable("XDG_RUNTIME_DIR");
  if (runtime.empty()) return false;
  return ConnectsLocal(std::string(runtime) + "/" + std::string(name), false);
}

// DISPLAY is [host]:number[.screen].
bool XReachable(std::string_view display) {
  const std::size_t colon = display.rfind(':');
  if (colon == std::string_view::npos) return false;
  const std::string host(display.substr(0, colon));
  std::string_view number_text = display.substr(colon + 1);
  number_text = number_text.substr(0, number_text.find('.'));
  int number = -1;
  const auto [end, error] =
      std::from_chars(number_text.data(), number_text.data() + number_text.size(), number);
  if (error != std::errc() || end != number_text.data() + number_text.size() || number < 0 ||
      number > 59535) {
    return false;
  }
  if (host.empty() || host == "unix") {
    const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
    return ConnectsLocal(path, false) || ConnectsLocal(path, true);
  }
  return ConnectsTcp(host, 6000 + number);
}

}  // namespace

bool HasDisplay() {
  return WaylandReachable(Variable("WAYLAND_DISPLAY")) || XReachable(Variable("DISPLAY"));
}

}  // namespace tessary::platform
