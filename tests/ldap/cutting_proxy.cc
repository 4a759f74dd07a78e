#include "cutting_proxy.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace tessary::testing {
namespace {

sockaddr_in LoopbackAddress(const std::string& address, int port) {
  sockaddr_in result{};
  result.sin_family = AF_INET;
  result.sin_port = htons(static_cast<std::uint16_t>(port));
  if (inet_pton(AF_INET, address.c_str(), &result.sin_addr) != 1 ||
      (ntohl(result.sin_addr.s_addr) >> 24) != 127) {
    throw std::runtime_error("the proxy relays loopback addresses only: " + address);
  }
  return result;
}

bool WriteAll(int fd, const char* data, ssize_t size) {
  while (size > 0) {
    ssize_t written = send(fd, data, static_cast<size_t>(size), MSG_NOSIGNAL);
    if (written <= 0) return false;
    data += written;
    size -= written;
  }
  return true;
}

}  // namespace

CuttingProxy::CuttingProxy(const std::string& address, int port)
    : address_(address), server_port_(port) {
  sockaddr_in local = LoopbackAddress(address, 0);
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  socklen_t length = sizeof local;
  if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&local), &length) != 0 ||
      listen(listener_, 16) != 0 || pipe2(wake_, O_CLOEXEC) != 0) {
    throw std::runtime_error("cannot open the proxy's socket on " + address);
  }
  port_ = ntohs(local.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

CuttingProxy::~CuttingProxy() {
  stopping_ = true;
  char byte = 0;
  (void)!write(wake_[1], &byte, 1);
  thread_.join();
  for (Pair& pair : pairs_) Close(pair);
  close(listener_);
  close(wake_[0]);
  close(wake_[1]);
}

std::string CuttingProxy::Uri(const std::string& scheme) const {
  return scheme + "://" + address_ + ":" + std::to_string(port_);
}

void CuttingProxy::RefuseFor(std::chrono::milliseconds span) {
  std::lock_guard lock(mutex_);
  refuse_until_ = std::chrono::steady_clock::now() + span;
}

void CuttingProxy::CutRandomly(std::uint32_t seed, std::chrono::milliseconds shortest,
                               std::chrono::milliseconds longest, int max_cuts) {
  std::lock_guard lock(mutex_);
  random_engine_.seed(seed);
  shortest_ = shortest;
  longest_ = longest;
  random_cuts_left_ = max_cuts;
  random_ = max_cuts > 0;
  PlanNextCut();
}

void CuttingProxy::PlanNextCut() {
  std::uniform_int_distribution<long> gap(shortest_.count(), longest_.count());
  next_cut_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(gap(random_engine_));
}

void CuttingProxy::Close(Pair& pair) {
  if (pair.client >= 0) close(pair.client);
  if (pair.server >= 0) close(pair.server);
  pair.client = pair.server = -1;
}

void CuttingProxy::CutAll() {
  bool any = false;
  for (Pair& pair : pairs_) {
    any = any || pair.client >= 0;
    Close(pair);
  }
  if (any) ++cuts_;
}

void CuttingProxy::Accept() {
  int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
  if (client < 0) return;
  bool refused = false;
  {
    std::lock_guard lock(mutex_);
    refused = std::chrono::steady_clock::now() < refuse_until_;
  }
  if (refused || accepted_.load() >= kMaxConnections) {
    close(client);
    return;
  }
  if (accepted_++ == 0) {
    std::lock_guard lock(mutex_);
    first_accept_ = std::chrono::steady_clock::now();
  }
  int server = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in target = LoopbackAddress(address_, server_port_);
  if (server < 0 || connect(server, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0) {
    if (server >= 0) close(server);
    close(client);
    return;
  }
  pairs_.push_back({client, server});
}

bool CuttingProxy::Relay(Pair& pair, bool from_client) {
  char buffer[16384];
  const int from = from_client ? pair.client : pair.server;
  const int to = from_client ? pair.server : pair.client;
  ssize_t got = recv(from, buffer, sizeof buffer, 0);
  if (got <= 0) {
    Close(pair);
    return false;
  }
  if (!from_client && cut_at_answer_.exchange(false)) {
    CutAll();
    return false;
  }
  if (!from_client) std::this_thread::sleep_for(answer_delay_.load());
  if (!WriteAll(to, buffer, got)) {
    Close(pair);
    return false;
  }
  return true;
}

void CuttingProxy::Serve() {
  while (!stopping_) {
    if (cut_now_.exchange(false)) CutAll();
    {
      std::lock_guard lock(mutex_);
      const auto now = std::chrono::steady_clock::now();
      if (random_ && accepted_.load() > 0 && now >= next_cut_ &&
          now >= first_accept_ + std::chrono::seconds(1)) {
        if (std::bernoulli_distribution(0.5)(random_engine_)) {
          cut_at_answer_ = true;
        } else {
          CutAll();
        }
        random_ = --random_cuts_left_ > 0;
        PlanNextCut();
      }
    }
    std::erase_if(pairs_, [](const Pair& pair) { return pair.client < 0; });
    std::vector<pollfd> waiting{{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    for (const Pair& pair : pairs_) {
      waiting.push_back({pair.client, POLLIN, 0});
      waiting.push_back({pair.server, POLLIN, 0});
    }
    if (poll(waiting.data(), waiting.size(), 20) <= 0) continue;
    if (waiting[0].revents & POLLIN) Accept();
    for (std::size_t i = 2; i < waiting.size(); ++i) {
      if ((waiting[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
      Pair& pair = pairs_[(i - 2) / 2];
      if (pair.client < 0) continue;
      Relay(pair, (i - 2) % 2 == 0);
    }
  }
}

}  // namespace tessary::testing
