#pragma once
// The one LDAP connection of a run: opened and bound once, re-established once per operation
// when the server dropped it. The bind never sends a password in clear: GSSAPI when the user has
// a Kerberos ticket, otherwise a simple bind over TLS (ldaps or StartTLS) with verified
// certificates, set on the connection itself so that no ldaprc or environment can weaken it.

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/hresult.h"

struct ldap;  // libldap's LDAP handle

namespace tessary::ds::ldap {

struct ConnectionSettings {
  std::string uri;                   // ldap://host[:port] or ldaps://host[:port]
  std::chrono::seconds timeout{30};  // connect and per-request limit
  std::string bind_dn;               // TESSARY_BIND_DN, for a simple bind
  std::string password_file;         // TESSARY_BIND_PASSWORD_FILE
  std::string ca_file;               // LDAPTLS_CACERT; empty: the system's CAs
};

// Settings for uri from TESSARY_BIND_DN, TESSARY_BIND_PASSWORD_FILE, LDAPTLS_CACERT and
// TESSARY_NETWORK_TIMEOUT (seconds). Fails with a message when the timeout is not a whole
// number of seconds from 1 to 3600.
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
  // bind that would go unencrypted).
  [[nodiscard]] HRESULT Open(std::string* error);

  // Runs op, which answers with an LDAP result code, on the bound connection, one operation at a
  // time. When op finds the connection gone, it is opened again once and op runs again; when
  // that fails too, the answer is LDAP_SERVER_DOWN. A timeout drops the connection, so the next
  // operation starts afresh.
  int Run(const std::function<int(::ldap*)>& op);

  // "GSSAPI" or "SIMPLE" after a successful Open.
  const std::string& Mechanism() const { return mechanism_; }
  const ConnectionSettings& Settings() const { return settings_; }

 private:
  HRESULT OpenLocked(std::string* error);
  HRESULT Connect(std::string* error);
  // server_took_part tells whether the server saw any of the exchange.
  HRESULT BindGssapi(std::string* error, bool* server_took_part);
  HRESULT BindSimple(std::string* error);
  void Close();

  ConnectionSettings settings_;
  ::ldap* handle_ = nullptr;
  std::string mechanism_;
  std::mutex mutex_;
};

}  // namespace tessary::ds::ldap
