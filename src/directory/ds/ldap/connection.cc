#include "directory/ds/ldap/connection.h"

#include <ldap.h>
#include <sasl/sasl.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <thread>

#include "directory/ds/ds_error.h"
#include "directory/ds/ldap/ldap_errors.h"
#include "directory/ds/ldap/libldap_configuration.h"
#include "directory/ds/ldap/password_file.h"
#include "platform/ui/ui_host.h"

namespace tessary::ds::ldap {
namespace {

constexpr HRESULT kConfidentialityRequired = MakeHresult(0x8007202D);
constexpr HRESULT kInvalidCredential = MakeHresult(0x8007052E);

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

// "Can't contact LDAP server: <diagnostic>" for messages.
std::string Reason(LDAP* handle, int rc) {
  std::string reason = ldap_err2string(rc);
  std::string diagnostic = handle == nullptr ? std::string() : DiagnosticOf(handle);
  // libldap leaves this placeholder where it has nothing to say.
  if (!diagnostic.empty() && diagnostic != "(unknown error code)")
    reason += " (" + diagnostic + ")";
  return reason;
}

// GSSAPI asks nothing the ticket does not already answer; take the defaults.
int AnswerSaslDefaults(LDAP*, unsigned, void*, void* prompts) {
  for (auto* prompt = static_cast<sasl_interact_t*>(prompts); prompt->id != SASL_CB_LIST_END;
       ++prompt) {
    const char* answer = prompt->defresult != nullptr ? prompt->defresult : "";
    prompt->result = answer;
    prompt->len = static_cast<unsigned>(std::strlen(answer));
  }
  return LDAP_SUCCESS;
}

bool IsLdaps(const std::string& uri) {
  return uri.size() >= 8 && strncasecmp(uri.c_str(), "ldaps://", 8) == 0;
}

// A whole number of seconds from lowest to 3600 in the variable; *seconds untouched when unset.
bool SecondsFromEnvironment(const char* name, long lowest, long* seconds, std::string* error) {
  const std::string text = Env(name);
  if (text.empty()) return true;
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || value < lowest || value > 3600) {
    *error = std::string(name) + " is '" + text + "'; it must be a whole number of seconds from " +
             std::to_string(lowest) + " to 3600.";
    return false;
  }
  *seconds = value;
  return true;
}

// The failures of an open that a later try may not meet: the server is not there (yet).
bool ServerAway(HRESULT hr) {
  return hr == HresultFromLdap(LDAP_SERVER_DOWN) || hr == HresultFromLdap(LDAP_CONNECT_ERROR) ||
         hr == HresultFromLdap(LDAP_TIMEOUT) || hr == HresultFromLdap(LDAP_UNAVAILABLE) ||
         hr == HresultFromLdap(LDAP_BUSY);
}

}  // namespace

bool SettingsFromEnvironment(const std::string& uri, ConnectionSettings* settings,
                             std::string* error) {
  settings->uri = uri;
  settings->bind_dn = Env("TESSARY_BIND_DN");
  settings->password_file = Env("TESSARY_BIND_PASSWORD_FILE");
  settings->ca_file = Env("LDAPTLS_CACERT");
  long seconds = 0;
  if (!SecondsFromEnvironment("TESSARY_NETWORK_TIMEOUT", 1, &seconds, error)) return false;
  if (seconds != 0) settings->timeout = std::chrono::seconds(seconds);
  seconds = -1;
  if (!SecondsFromEnvironment("TESSARY_RECONNECT_LIMIT", 0, &seconds, error)) return false;
  if (seconds >= 0) settings->reconnect_limit = std::chrono::seconds(seconds);
  return true;
}

Connection::Connection(ConnectionSettings settings) : settings_(std::move(settings)) {
  if (settings_.set_option == nullptr) settings_.set_option = ldap_set_option;
}

Connection::~Connection() {
  Close();
  std::fill(typed_password_.begin(), typed_password_.end(), '\0');
}

void Connection::AskCredentials() {
  if (asked_ || !settings_.password_file.empty()) return;
  asked_ = true;
  std::optional<platform::Credentials> typed =
      platform::CurrentUiHost().AskCredentials({settings_.uri, settings_.bind_dn});
  if (!typed || typed->account.empty()) return;
  settings_.bind_dn = typed->account;
  typed_password_ = std::move(typed->password);
  std::fill(typed->password.begin(), typed->password.end(), '\0');
}

void Connection::Close() {
  if (handle_ != nullptr) ldap_unbind_ext_s(handle_, nullptr, nullptr);
  handle_ = nullptr;
}

HRESULT Connection::Connect(std::string* error) {
  Close();
  // A server that drops the connection must not kill the program with SIGPIPE on the next write.
  std::signal(SIGPIPE, SIG_IGN);
  LoadLibldapConfiguration();
  int rc = ldap_initialize(&handle_, settings_.uri.c_str());
  if (rc != LDAP_SUCCESS) {
    handle_ = nullptr;
    *error = "Could not connect to '" + settings_.uri + "': it is not an LDAP address (" +
             ldap_err2string(rc) + ").";
    return E_ADS_BAD_PATHNAME;
  }
  // An option that does not take would leave the connection weaker than this program promises
  // (a certificate unchecked, a CA list other than the one named): fail closed.
  std::string refused;
  auto set = [&](int option, const void* value, std::string_view name) {
    if (refused.empty() && settings_.set_option(handle_, option, value) != LDAP_OPT_SUCCESS) {
      refused = name;
    }
  };
  int version = LDAP_VERSION3;
  set(LDAP_OPT_PROTOCOL_VERSION, &version, "the protocol version");
  // Referrals are not chased: libldap would follow them with an anonymous bind.
  set(LDAP_OPT_REFERRALS, LDAP_OPT_OFF, "referrals off");
  // A signal arriving while libldap waits for the server must not fail the operation.
  set(LDAP_OPT_RESTART, LDAP_OPT_ON, "restart after signals");
  timeval limit{static_cast<time_t>(settings_.timeout.count()), 0};
  set(LDAP_OPT_NETWORK_TIMEOUT, &limit, "the network timeout");
  set(LDAP_OPT_TIMEOUT, &limit, "the request timeout");
  // Certificate checks on this connection's own TLS context, so that an ldaprc file or
  // LDAPTLS_REQCERT cannot switch them off.
  int demand = LDAP_OPT_X_TLS_DEMAND;
  set(LDAP_OPT_X_TLS_REQUIRE_CERT, &demand, "certificate checking (TLS_REQCERT demand)");
  const std::string authorities = settings_.ca_file.empty()
                                      ? std::string("the system's certificate authorities")
                                      : "the certificate authorities of LDAPTLS_CACERT ('" +
                                            settings_.ca_file +
                                            "', which must be a readable file of PEM certificates)";
  if (!settings_.ca_file.empty()) {
    set(LDAP_OPT_X_TLS_CACERTFILE, settings_.ca_file.c_str(), authorities);
  }
  // The context reads the certificate authorities: a CA file that cannot be read fails here.
  int is_server = 0;
  set(LDAP_OPT_X_TLS_NEWCTX, &is_server, "a TLS context with " + authorities);
  // The service principal is named by the address as written, never by a reverse lookup.
  set(LDAP_OPT_X_SASL_NOCANON, LDAP_OPT_ON, "the Kerberos host name as written");
  if (!refused.empty()) {
    *error = "Could not connect to '" + settings_.uri + "': libldap would not set " + refused + ".";
    Close();
    return HresultFromLdap(LDAP_LOCAL_ERROR);
  }

  rc = ldap_connect(handle_);
  if (rc != LDAP_SUCCESS) {
    *error = "Could not connect to '" + settings_.uri + "': " + Reason(handle_, rc) + ".";
    if (IsLdaps(settings_.uri)) {
      // libldap does not tell a refused handshake from a server that is down.
      *error +=
          " Either the server is down or its TLS certificate is not trusted: it must be "
          "signed by a certificate authority of LDAPTLS_CACERT (or of the system's list) "
          "and name the host of the address.";
    }
    HRESULT hr = HresultFromLdap(rc, DiagnosticOf(handle_));
    Close();
    return hr;
  }
  return S_OK;
}

HRESULT Connection::BindGssapi(std::string* error, bool* server_took_part) {
  // Over TLS, AD refuses a second protection layer; without TLS, the SASL layer must encrypt,
  // so a bind without that demand in place is not attempted.
  const char* protection = IsLdaps(settings_.uri) ? "maxssf=0" : "minssf=56";
  if (settings_.set_option(handle_, LDAP_OPT_X_SASL_SECPROPS, protection) != LDAP_OPT_SUCCESS) {
    *error = "Kerberos (GSSAPI) bind to '" + settings_.uri +
             "' not attempted: libldap would not set the SASL security properties " + protection +
             ".";
    *server_took_part = false;
    return HresultFromLdap(LDAP_LOCAL_ERROR);
  }
  int rc = ldap_sasl_interactive_bind_s(handle_, nullptr, "GSSAPI", nullptr, nullptr,
                                        LDAP_SASL_QUIET, AnswerSaslDefaults, nullptr);
  // libldap's own failures (no ticket, no mechanism) are negative; the server's answers are not.
  *server_took_part = rc >= 0;
  if (rc == LDAP_SUCCESS) return S_OK;
  *error = "Kerberos (GSSAPI) bind to '" + settings_.uri + "' failed: " + Reason(handle_, rc) + ".";
  return HresultFromLdap(rc, DiagnosticOf(handle_));
}

HRESULT Connection::BindSimple(std::string* error) {
  const std::string who =
      "Could not bind to '" + settings_.uri + "' as '" + settings_.bind_dn + "'";
  if (!IsLdaps(settings_.uri) && !ldap_tls_inplace(handle_)) {
    int rc = ldap_start_tls_s(handle_, nullptr, nullptr);
    if (rc != LDAP_SUCCESS) {
      if (IsConnectionLost(rc)) {
        *error = who + ": " + Reason(handle_, rc) + ".";
        return HresultFromLdap(rc);
      }
      *error = who + ": the server did not start TLS: " + Reason(handle_, rc) +
               ". A password is never sent over an unencrypted connection; use ldaps:// or a "
               "server that offers StartTLS, or bind with a Kerberos ticket.";
      return kConfidentialityRequired;
    }
  }
  std::string password, file_error;
  if (!typed_password_.empty()) {
    password = typed_password_;
  } else if (settings_.password_file.empty()) {
    *error = who + ": TESSARY_BIND_PASSWORD_FILE does not name the file that holds the password.";
    return kInvalidCredential;
  } else if (!ReadPasswordFile(settings_.password_file, &password, &file_error)) {
    *error = who + ": " + file_error;
    return kInvalidCredential;
  }
  berval credential{static_cast<ber_len_t>(password.size()), password.data()};
  int rc = ldap_sasl_bind_s(handle_, settings_.bind_dn.c_str(), LDAP_SASL_SIMPLE, &credential,
                            nullptr, nullptr, nullptr);
  std::fill(password.begin(), password.end(), '\0');
  if (rc == LDAP_SUCCESS) return S_OK;
  *error = who + ": " + Reason(handle_, rc) + ".";
  return HresultFromLdap(rc, DiagnosticOf(handle_));
}

HRESULT Connection::Open(std::string* error) {
  std::lock_guard lock(mutex_);
  return OpenLocked(error);
}

HRESULT Connection::OpenLocked(std::string* error) {
  mechanism_.clear();
  HRESULT hr = Connect(error);
  if (Failed(hr)) return hr;
  std::string gssapi_error;
  bool server_took_part = false;
  hr = BindGssapi(&gssapi_error, &server_took_part);
  if (Succeeded(hr)) {
    mechanism_ = "GSSAPI";
    ++generation_;
    return S_OK;
  }
  if (hr == MakeHresult(0x8007203A)) {
    *error = gssapi_error;
    Close();
    return hr;
  }
  AskCredentials();
  if (settings_.bind_dn.empty()) {
    *error = gssapi_error +
             "\nWithout a Kerberos ticket, TESSARY_BIND_DN and TESSARY_BIND_PASSWORD_FILE name the "
             "account and password of a simple bind over TLS.";
    Close();
    return hr;
  }
  // A fresh connection when the server took part in the failed SASL exchange: it may have left
  // state the simple bind should not see. Without a ticket nothing was sent, and the connection
  // (its TLS handshake already paid) serves as it is.
  if (server_took_part) {
    hr = Connect(error);
    if (Failed(hr)) return hr;
  }
  hr = BindSimple(error);
  if (Failed(hr)) {
    Close();
    return hr;
  }
  mechanism_ = "SIMPLE";
  ++generation_;
  return S_OK;
}

bool Connection::Pause(std::chrono::milliseconds pause) {
  constexpr std::chrono::milliseconds kSlice(200);
  const auto until = std::chrono::steady_clock::now() + pause;
  for (;;) {
    if (wait_ != nullptr && !wait_->Waiting()) return false;
    const auto left = until - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) return true;
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(left, kSlice));
  }
}

bool Connection::Reopen() {
  std::string ignored;
  const auto start = std::chrono::steady_clock::now();
  auto pause = settings_.first_pause;
  bool waited = false;
  for (;;) {
    HRESULT hr = OpenLocked(&ignored);
    if (Succeeded(hr)) {
      gave_up_ = false;
      if (waited && wait_ != nullptr) wait_->Resumed();
      return true;
    }
    if (!ServerAway(hr) || gave_up_) return false;
    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    if (spent >= settings_.reconnect_limit) {
      gave_up_ = true;
      return false;
    }
    waited = true;
    if (!Pause(std::min(pause, settings_.reconnect_limit - spent))) return false;
    pause = std::min(pause * 2, settings_.longest_pause);
  }
}

int Connection::Run(const Operation& op) {
  std::lock_guard lock(mutex_);
  // Bounded: a server that takes connections and drops each one mid-answer must not hold the
  // run forever.
  constexpr int kAttempts = 4;
  int rc = LDAP_SERVER_DOWN;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (handle_ == nullptr && !Reopen()) return LDAP_SERVER_DOWN;
    rc = op(handle_);
    if (!IsConnectionLost(rc) && rc != LDAP_TIMEOUT) return rc;
    Close();
  }
  return rc;
}

void Connection::Abandon(int message, std::uint64_t generation) {
  std::lock_guard lock(mutex_);
  if (handle_ != nullptr && generation == generation_) {
    ldap_abandon_ext(handle_, message, nullptr, nullptr);
  }
}

int Connection::RunOnce(const Operation& op, bool* interrupted) {
  std::lock_guard lock(mutex_);
  *interrupted = false;
  if (handle_ == nullptr && !Reopen()) return LDAP_SERVER_DOWN;
  int rc = op(handle_);
  if (!IsConnectionLost(rc) && rc != LDAP_TIMEOUT) return rc;
  Close();
  if (!Reopen()) return LDAP_SERVER_DOWN;
  *interrupted = true;
  return rc;
}

}  // namespace tessary::ds::ldap
