#include "directory/ds/ldap/ldap_errors.h"

#include <ldap.h>

#include <cctype>

#include "directory/ds/ds_error.h"

namespace tessary::ds::ldap {

std::string DiagnosticOf(LDAP* handle) {
  char* text = nullptr;
  if (ldap_get_option(handle, LDAP_OPT_DIAGNOSTIC_MESSAGE, &text) != LDAP_OPT_SUCCESS ||
      text == nullptr) {
    return {};
  }
  std::string result(text);
  ldap_memfree(text);
  return result;
}
namespace {

// libldap numbers its client-side codes -1 (server down) to -17; the protocol numbers them
// 81 to 97.
int ProtocolCode(int result) { return result < 0 ? 80 - result : result; }

// AD's extended codes that name a failure more exactly than the result code carrying them,
// mapped to the HRESULT ADSI's callers know the failure by.
HRESULT HresultFromExtended(unsigned extended) {
  switch (extended) {
    case 0x208D:  // ERROR_DS_OBJ_NOT_FOUND: a missing parent or base object
      return E_DS_NO_SUCH_OBJECT;
    case 0x52E:  // ERROR_LOGON_FAILURE
    case 0x5:    // ERROR_ACCESS_DENIED
      return HresultFromWin32(extended);
    default:
      return S_OK;
  }
}

}  // namespace

unsigned ExtendedErrorOf(std::string_view diagnostic) {
  if (diagnostic.size() < 9 || diagnostic[8] != ':') return 0;
  unsigned code = 0;
  for (char c : diagnostic.substr(0, 8)) {
    auto u = static_cast<unsigned char>(c);
    if (!std::isxdigit(u)) return 0;
    code =
        code * 16 + static_cast<unsigned>(std::isdigit(u) ? u - '0' : std::tolower(u) - 'a' + 10);
  }
  return code;
}

HRESULT HresultFromLdap(int result, std::string_view diagnostic) {
  if (result == LDAP_SUCCESS) return S_OK;
  HRESULT extended = HresultFromExtended(ExtendedErrorOf(diagnostic));
  if (Failed(extended)) return extended;
  return HresultFromLdapResult(ProtocolCode(result));
}

bool IsConnectionLost(int result) {
  return result == LDAP_SERVER_DOWN || result == LDAP_CONNECT_ERROR;
}

}  // namespace tessary::ds::ldap
