#pragma once
// A TCP relay of the test's own between the program and a server on a loopback address, that
// cuts the connections through it when told to or at seeded random moments. It listens on the
// server's own address (so the server's certificate still names the address the client uses),
// and is bounded: it accepts at most kMaxConnections, cuts at most the number it is given, and
// stops with its owner.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace tessary::testing {

class CuttingProxy {
 public:
  static constexpr int kMaxConnections = 2000;

  // Relays address:port (127.0.0.0/8 only; anything else throws).
  CuttingProxy(const std::string& address, int port);
  ~CuttingProxy();
  CuttingProxy(const CuttingProxy&) = delete;
  CuttingProxy& operator=(const CuttingProxy&) = delete;

  // "ldaps://address:port" of the relay.
  std::string Uri(const std::string& scheme) const;

  // The server's next answer is thrown away and its connection cut: what the client sent has
  // reached the server, and the client never learns the outcome.
  void CutAtNextAnswer() { cut_at_answer_ = true; }
  // Cuts every connection at once.
  void CutNow() { cut_now_ = true; }
  // New connections are closed at once while this lasts.
  void RefuseFor(std::chrono::milliseconds span);
  // From now on, cuts at random moments spaced between the two gaps, each either at once or at
  // the next answer (as the seeded generator picks), until max_cuts were made. The first cut
  // waits until the first connection has been open a second: a program's first bind is its
  // start, not a connection lost under a run.
  void CutRandomly(std::uint32_t seed, std::chrono::milliseconds shortest,
                   std::chrono::milliseconds longest, int max_cuts);

  // Holds every piece the server sends for delay before passing it on, so that a run of n
  // requests lasts at least n times delay however fast the machine is: long enough for the
  // random cuts to fall inside it.
  void DelayAnswers(std::chrono::milliseconds delay) { answer_delay_ = delay; }

  int Cuts() const { return cuts_.load(); }
  int Accepted() const { return accepted_.load(); }

 private:
  struct Pair {
    int client = -1;
    int server = -1;
  };
  void Serve();
  void Accept();
  // False when the pair was closed.
  bool Relay(Pair& pair, bool from_client);
  void Close(Pair& pair);
  void CutAll();
  void PlanNextCut();

  std::string address_;
  int server_port_ = 0;
  int listener_ = -1;
  int port_ = 0;
  int wake_[2] = {-1, -1};
  std::vector<Pair> pairs_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> cut_at_answer_{false};
  std::atomic<bool> cut_now_{false};
  std::atomic<int> cuts_{0};
  std::atomic<int> accepted_{0};
  std::atomic<std::chrono::milliseconds> answer_delay_{std::chrono::milliseconds(0)};
  std::mutex mutex_;  // the refusal and the random plan
  std::chrono::steady_clock::time_point refuse_until_{};
  bool random_ = false;
  std::mt19937 random_engine_;
  std::chrono::milliseconds shortest_{0}, longest_{0};
  int random_cuts_left_ = 0;
  std::chrono::steady_clock::time_point next_cut_{};
  std::chrono::steady_clock::time_point first_accept_{};
  std::thread thread_;
};

}  // namespace tessary::testing
