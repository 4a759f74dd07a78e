#include "fake_ldap_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <vector>

namespace tessary::testing {
namespace {

int Listen(int* port) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("cannot open a loopback socket");
  }
  *port = ntohs(address.sin_port);
  return fd;
}

// The message id of a request: SEQUENCE { INTEGER id, ... } with a short or long length.
int MessageId(const std::vector<unsigned char>& request) {
  size_t at = 1;
  if (request.size() < 2 || request[0] != 0x30) return -1;
  if (request[at] & 0x80) at += request[at] & 0x7F;
  ++at;
  if (at + 2 >= request.size() || request[at] != 0x02 || request[at + 1] != 1) return -1;
  return request[at + 2];
}

}  // namespace

FakeLdapServer::FakeLdapServer(Behaviour behaviour) : behaviour_(behaviour) {
  listener_ = Listen(&port_);
  listen(listener_, 8);
  thread_ = std::thread([this] { Serve(); });
}

FakeLdapServer::~FakeLdapServer() {
  stopping_ = true;
  thread_.join();
  close(listener_);
}

std::string FakeLdapServer::Uri() const { return "ldap://127.0.0.1:" + std::to_string(port_); }

void FakeLdapServer::Serve() {
  std::vector<int> connections;
  while (!stopping_) {
    std::vector<pollfd> waiting{{listener_, POLLIN, 0}};
    for (int c : connections) waiting.push_back({c, POLLIN, 0});
    if (poll(waiting.data(), waiting.size(), 50) <= 0) continue;
    if (waiting[0].revents & POLLIN) {
      int c = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (c >= 0) connections.push_back(c);
    }
    for (size_t i = 1; i < waiting.size(); ++i) {
      if ((waiting[i].revents & (POLLIN | POLLHUP | POLLERR)) && !Answer(waiting[i].fd)) {
        close(waiting[i].fd);
        std::erase(connections, waiting[i].fd);
      }
    }
  }
  for (int c : connections) close(c);
}

bool FakeLdapServer::Answer(int connection) {
  std::vector<unsigned char> request(4096);
  ssize_t n = read(connection, request.data(), request.size());
  if (n <= 0) return false;
  request.resize(static_cast<size_t>(n));
  {
    std::lock_guard lock(mutex_);
    received_.append(request.begin(), request.end());
  }
  if (behaviour_ == Behaviour::kSilent) return true;
  int id = MessageId(request);
  if (id < 0) return true;
  // ExtendedResponse { resultCode protocolError (2), matchedDN "", diagnosticMessage "" }.
  const unsigned char answer[] = {0x30, 0x0c, 0x02, 0x01, static_cast<unsigned char>(id),
                                  0x78, 0x07, 0x0a, 0x01, 0x02,
                                  0x04, 0x00, 0x04, 0x00};
  // Counted before it is sent: the client may act on the answer, and a test read the count,
  // before this thread runs again.
  ++answered_;
  if (write(connection, answer, sizeof answer) != static_cast<ssize_t>(sizeof answer)) {
    --answered_;
  }
  return true;
}

std::string FakeLdapServer::Received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

int UnusedPort() {
  int port = 0;
  int fd = Listen(&port);
  close(fd);  // bound but never listened on: connections are refused
  return port;
}

}  // namespace tessary::testing
