#pragma once
// One connection to a directory (the ADSI stand-in): binds paths to objects. Chosen once per run
// and shared by it; the classes above never know which backend answers.

#include <memory>
#include <string>
#include <vector>

#include "directory/ds/object.h"
#include "platform/hresult.h"

namespace tessary::ds {

// What a run does while a lost server is waited for: the LDAP backend waits for a server that
// went away, the embedded directory never loses its file.
class ServerWait {
 public:
  virtual ~ServerWait() = default;
  // Called when a wait begins and often during it (at least every quarter of a second); false
  // gives the wait up (the user cancelled), and the operation fails as when the server stays
  // away.
  virtual bool Waiting() = 0;
  // The server answers again.
  virtual void Resumed() = 0;
};

class Directory {
 public:
  virtual ~Directory() = default;

  // Binds "LDAP://" + DN, "LDAP://RootDSE", "LDAP://<GUID=32 hex digits>",
  // "LDAP://schema/<class>" or "LDAP://<dns domain name>". Fails with E_ADS_BAD_PATHNAME for a
  // path of none of these forms and E_DS_NO_SUCH_OBJECT (0x80072030) when nothing is there.
  [[nodiscard]] virtual HRESULT Bind(const std::string& path, std::unique_ptr<Object>* object) = 0;
  // Binds without asking whether the object is there, as ADSI's fast bind does: for a search
  // base or an object whose few attributes are then read with GetInfoEx, where the bind's own
  // read would be a request spent for nothing. An object that is not there fails the first
  // operation on it with E_DS_NO_SUCH_OBJECT instead.
  [[nodiscard]] virtual HRESULT BindFast(const std::string& path, std::unique_ptr<Object>* object) {
    return Bind(path, object);
  }

  // Where the connection goes (the file or the URI), for messages.
  virtual std::string Location() const = 0;

  // The run's observer of waits for a lost server (not owned; null: none). Set before the run's
  // operations and cleared after them.
  virtual void SetServerWait(ServerWait* wait) { (void)wait; }

  // From now on every write of this connection (create, modify, rename, move, delete, password)
  // fails with E_ACCESSDENIED before it reaches the directory, so a run that may only read
  // cannot change it, whatever its own code does. False when the backend cannot refuse them.
  [[nodiscard]] virtual bool RefuseWrites() { return false; }
};

// The DNS names of the domains of the connected forest, in the order of the Partitions
// container (the crossRef objects' dnsRoot): the network browser's domain list. Fails with the
// bind or search failure.
[[nodiscard]] HRESULT EnumDomainNames(Directory& directory, std::vector<std::string>* dns_names);

}  // namespace tessary::ds
