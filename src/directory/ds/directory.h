#pragma once
// One connection to a directory (the ADSI stand-in): binds paths to objects. Chosen once per run
// and shared by it; the classes above never know which backend answers.

#include <memory>
#include <string>
#include <vector>

#include "directory/ds/object.h"
#include "platform/hresult.h"

namespace tessary::ds {

class Directory {
 public:
  virtual ~Directory() = default;

  // Binds "LDAP://" + DN, "LDAP://RootDSE", "LDAP://<GUID=32 hex digits>",
  // "LDAP://schema/<class>" or "LDAP://<dns domain name>". Fails with E_ADS_BAD_PATHNAME for a
  // path of none of these forms and E_DS_NO_SUCH_OBJECT (0x80072030) when nothing is there.
  [[nodiscard]] virtual HRESULT Bind(const std::string& path, std::unique_ptr<Object>* object) = 0;

  // Where the connection goes (the file or the URI), for messages.
  virtual std::string Location() const = 0;
};

// The DNS names of the domains of the connected forest, in the order of the Partitions
// container (the crossRef objects' dnsRoot): the network browser's domain list. Fails with the
// bind or search failure.
[[nodiscard]] HRESULT EnumDomainNames(Directory& directory, std::vector<std::string>* dns_names);

}  // namespace tessary::ds
