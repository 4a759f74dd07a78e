#pragma once
// A listener on 127.0.0.1 that plays one misbehaving LDAP server, for the failure paths a real
// server will not show on demand.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

namespace tessary::testing {

class FakeLdapServer {
 public:
  enum class Behaviour {
    kRefuseStartTls,  // answers every request with protocolError (so StartTLS fails)
    kSilent,          // accepts connections and never answers
  };
  explicit FakeLdapServer(Behaviour behaviour);
  ~FakeLdapServer();
  FakeLdapServer(const FakeLdapServer&) = delete;
  FakeLdapServer& operator=(const FakeLdapServer&) = delete;

  // "ldap://127.0.0.1:<port>"
  std::string Uri() const;
  // The number of requests answered.
  int Answered() const { return answered_.load(); }
  // Every byte the server was sent.
  std::string Received() const;

 private:
  void Serve();
  bool Answer(int connection);  // false when the client has gone

  Behaviour behaviour_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> answered_{0};
  mutable std::mutex mutex_;
  std::string received_;
  std::thread thread_;
};

// A port on 127.0.0.1 where nothing listens.
int UnusedPort();

}  // namespace tessary::testing
