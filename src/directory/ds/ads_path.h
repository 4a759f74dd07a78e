#pragma once
// The ADsPath forms the program binds, taken apart once for every backend.

#include <string>

#include "platform/hresult.h"

namespace tessary::ds {

struct AdsPath {
  enum class Kind { kDn, kRootDse, kGuid, kSchemaClass, kDomainName };
  Kind kind = Kind::kDn;
  // kDn: the DN as written; kGuid: 32 lower-case hex digits (storage order); kSchemaClass: the
  // class's LDAP name; kDomainName: the dotted DNS name; kRootDse: empty.
  std::string value;
};

// "LDAP://" + DN | RootDSE | <GUID=hex> | schema/<class> | <dns domain name>. The GUID may also
// be written with braces and dashes. Fails with E_ADS_BAD_PATHNAME (0x80005000).
[[nodiscard]] HRESULT ParseAdsPath(const std::string& path, AdsPath* parsed);

// "LDAP://" + dn.
std::string AdsPathOfDn(const std::string& dn);

}  // namespace tessary::ds
