#pragma once
// LDAP failures in the vocabulary of the directory layer: ADSI's HRESULTs.

#include <string>
#include <string_view>

#include "platform/hresult.h"

struct ldap;

namespace tessary::ds::ldap {

// The server's diagnostic message of the last operation on the handle; empty when there is none.
std::string DiagnosticOf(::ldap* handle);

// The HRESULT for an LDAP result code (libldap's negative client codes included) and the
// server's diagnostic message. Active Directory and Samba put their own Win32 code in hex at the
// start of the message ("0000208D: NameErr: ..."); where that code names the failure more
// exactly than the result code, it decides. Result 0 gives S_OK. Never fails.
HRESULT HresultFromLdap(int result, std::string_view diagnostic = {});

// The Win32 code at the start of an AD diagnostic message, or 0 when it does not start with one.
unsigned ExtendedErrorOf(std::string_view diagnostic);

// True for the client codes that mean the connection is gone (server down, cannot connect).
bool IsConnectionLost(int result);

}  // namespace tessary::ds::ldap
