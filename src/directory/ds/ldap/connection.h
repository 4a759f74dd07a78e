#pragma once
// The one LDAP connection of a run: opened and bound once, and when the server drops it, opened
// again with growing pauses until the server answers or the wait's limit has passed. The bind never
// sends a password in clear: GSSAPI when the user has a Kerberos ticket, otherwise a simple bind
// over TLS (ldaps or StartTLS) with verified certificates, set on the connection itself so that no
// ldaprc or environment can weaken it.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "directory/ds/directory.h"
#include "platform/hresult.h"

struct ldap;  // libldap's LDAP handle

namespace tessary::ds::ldap {

struct ConnectionSettings {
  std::string uri;                   // ldap://host[:port] or ldaps://host[:port]
  std::chrono::seconds timeout{30};  // connect and per-request limit
  std::string bind_dn;               // TESSARY_BIND_DN, for a simple bind
  std::string password_file;         // TESSARY_BIND_PASSWORD_FILE
  std::string ca_file;               // LDAPTLS_CACERT; empty: the system's CAs
  // After a lost connection: the first pause before trying again, doubled after each failed
  // try up to the longest, and how long in all the server is waited for.
  std::chrono::milliseconds first_pause{250};
  std::chrono::milliseconds longest_pause{8000};
  std::chrono::milliseconds reconnect_limit{60000};
  // Sets one option on the connection's handle and answers LDAP_OPT_SUCCESS or an error;
  // nullptr is libldap's ldap_set_option. Tests put one here that refuses an option.
  int (*set_option)(::ldap*, int, const void*) = nullptr;
};

// Settings for uri from TESSARY_BIND_DN, TESSARY_BIND_PASSWORD_FILE, LDAPTLS_CACERT,
// TESSARY_NETWORK_TIMEOUT (seconds, 1 to 3600) and TESSARY_RECONNECT_LIMIT (seconds, 0 to 3600).
// Fails with a message when a number is not a whole number of seconds in its range.
[[nodiscard]] bool SettingsFromEnvironment(const std::string& uri, ConnectionSettings* settings,
                                           std::string* error);

class Connection {
 public:
  explicit Connection(ConnectionSettings settings);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Connects and binds. Fails with the HRESULT of the failure and a sentence naming the URI and
  // what went wrong (server unreachable, certificate not trusted, credentials refused, a simple
  // bind that would go unencrypted, a connection option libldap would not take).
  [[nodiscard]] HRESULT Open(std::string* error);

  using Operation = std::function<int(::ldap*)>;
  // Runs op, which answers with an LDAP result code, on the bound connection, one operation at a
  // time. When op finds the connection gone (or timed out, which drops it), the connection is
  // opened again, waiting for the server, and op runs again; when the server stays away the
  // answer is LDAP_SERVER_DOWN. For operations that may be repeated: reads.
  int Run(const Operation& op);
  // As Run, but op is not repeated once it may have reached the server: *interrupted then
  // tells that the connection was lost (or timed out) under it, so that whether it took effect
  // is unknown, and that the connection is open again. When the server stays away the answer
  // is LDAP_SERVER_DOWN with *interrupted false. For writes.
  int RunOnce(const Operation& op, bool* interrupted);

  // Withdraws a request sent on the connection of that generation; nothing when that connection
  // is gone (its requests went with it), and never opens one.
  void Abandon(int message, std::uint64_t generation);

  // Counts the connections opened: a paging cookie is good only on the connection that gave it.
  std::uint64_t Generation() const { return generation_; }
  void SetServerWait(ServerWait* wait) { wait_ = wait; }

  // "GSSAPI" or "SIMPLE" after a successful Open.
  const std::string& Mechanism() const { return mechanism_; }
  const ConnectionSettings& Settings() const { return settings_; }

 private:
  HRESULT OpenLocked(std::string* error);
  // Opens the connection again, pausing between tries while the server is unreachable, for up
  // to the reconnect limit (a single try once a wait has run out, until the server is back).
  bool Reopen();
  // Sleeps for pause, asking the ServerWait all along; false when it gave the wait up.
  bool Pause(std::chrono::milliseconds pause);
  HRESULT Connect(std::string* error);
  // server_took_part tells whether the server saw any of the exchange.
  HRESULT BindGssapi(std::string* error, bool* server_took_part);
  HRESULT BindSimple(std::string* error);
  // Without a password file, asks the process's UiHost once for the account and password.
  void AskCredentials();
  void Close();

  ConnectionSettings settings_;
  ::ldap* handle_ = nullptr;
  std::string mechanism_;
  std::uint64_t generation_ = 0;
  ServerWait* wait_ = nullptr;
  bool gave_up_ = false;  // the last wait ran out: do not wait again until the server is back
  // The password a person typed, for this connection's binds and rebinds; memory only.
  std::string typed_password_;
  bool asked_ = false;
  std::mutex mutex_;
};

}  // namespace tessary::ds::ldap
