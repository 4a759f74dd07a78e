#include "directory/ds/ds_error.h"

#include <cstdint>

namespace tessary::ds {
namespace {

// The Win32 directory error that ADSI's LDAP provider gives for each LDAP result code.
std::uint32_t Win32FromLdapResult(int ldap_result) {
  switch (ldap_result) {
    case 0:
      return 0;
    case 1:
      return 0x2020;  // ERROR_DS_OPERATIONS_ERROR
    case 2:
      return 0x2021;  // ERROR_DS_PROTOCOL_ERROR
    case 3:
      return 0x2022;  // ERROR_DS_TIMELIMIT_EXCEEDED
    case 4:
      return 0x2023;  // ERROR_DS_SIZELIMIT_EXCEEDED
    case 5:
      return 0x2025;  // ERROR_DS_COMPARE_FALSE
    case 6:
      return 0x2026;  // ERROR_DS_COMPARE_TRUE
    case 7:
      return 0x2027;  // ERROR_DS_AUTH_METHOD_NOT_SUPPORTED
    case 8:
      return 0x2028;  // ERROR_DS_STRONG_AUTH_REQUIRED
    case 10:
      return 0x202B;  // ERROR_DS_REFERRAL
    case 11:
      return 0x2024;  // ERROR_DS_ADMIN_LIMIT_EXCEEDED
    case 12:
      return 0x202C;  // ERROR_DS_UNAVAILABLE_CRIT_EXTENSION
    case 13:
      return 0x202D;  // ERROR_DS_CONFIDENTIALITY_REQUIRED
    case 16:
      return 0x200A;  // ERROR_DS_NO_ATTRIBUTE_OR_VALUE
    case 17:
      return 0x200C;  // ERROR_DS_ATTRIBUTE_TYPE_UNDEFINED
    case 18:
      return 0x202E;  // ERROR_DS_INAPPROPRIATE_MATCHING
    case 19:
      return 0x202F;  // ERROR_DS_CONSTRAINT_VIOLATION
    case 20:
      return 0x200D;  // ERROR_DS_ATTRIBUTE_OR_VALUE_EXISTS
    case 21:
      return 0x200B;  // ERROR_DS_INVALID_ATTRIBUTE_SYNTAX
    case 32:
      return 0x2030;  // ERROR_DS_NO_SUCH_OBJECT
    case 33:
      return 0x2031;  // ERROR_DS_ALIAS_PROBLEM
    case 34:
      return 0x2032;  // ERROR_DS_INVALID_DN_SYNTAX
    case 35:
      return 0x2033;  // ERROR_DS_IS_LEAF
    case 36:
      return 0x2034;  // ERROR_DS_ALIAS_DEREF_PROBLEM
    case 48:
      return 0x2029;  // ERROR_DS_INAPPROPRIATE_AUTH
    case 49:
      return 0x52E;  // ERROR_LOGON_FAILURE
    case 50:
      return 5;  // ERROR_ACCESS_DENIED
    case 51:
      return 0x200E;  // ERROR_DS_BUSY
    case 52:
      return 0x200F;  // ERROR_DS_UNAVAILABLE
    case 53:
      return 0x2035;  // ERROR_DS_UNWILLING_TO_PERFORM
    case 54:
      return 0x2036;  // ERROR_DS_LOOP_DETECT
    case 64:
      return 0x2037;  // ERROR_DS_NAMING_VIOLATION
    case 65:
      return 0x2014;  // ERROR_DS_OBJ_CLASS_VIOLATION
    case 66:
      return 0x2015;  // ERROR_DS_CANT_ON_NON_LEAF
    case 67:
      return 0x2016;  // ERROR_DS_CANT_ON_RDN
    case 68:
      return 0x1392;  // ERROR_OBJECT_ALREADY_EXISTS
    case 69:
      return 0x2017;  // ERROR_DS_CANT_MOD_OBJ_CLASS
    case 70:
      return 0x2038;  // ERROR_DS_OBJECT_RESULTS_TOO_LARGE
    case 71:
      return 0x2039;  // ERROR_DS_AFFECTS_MULTIPLE_DSAS
    case 81:
      return 0x203A;  // ERROR_DS_SERVER_DOWN
    case 82:
      return 0x203B;  // ERROR_DS_LOCAL_ERROR
    case 83:
      return 0x203C;  // ERROR_DS_ENCODING_ERROR
    case 84:
      return 0x203D;  // ERROR_DS_DECODING_ERROR
    case 85:
      return 0x5B4;  // ERROR_TIMEOUT
    case 86:
      return 0x202A;  // ERROR_DS_AUTH_UNKNOWN
    case 87:
      return 0x203E;  // ERROR_DS_FILTER_UNKNOWN
    case 88:
      return 0x4C7;  // ERROR_CANCELLED
    case 89:
      return 0x203F;  // ERROR_DS_PARAM_ERROR
    case 90:
      return 8;  // ERROR_NOT_ENOUGH_MEMORY
    case 91:
      return 0x4C9;  // ERROR_CONNECTION_REFUSED
    case 92:
      return 0x2040;  // ERROR_DS_NOT_SUPPORTED
    case 93:
      return 0x2042;  // ERROR_DS_CONTROL_NOT_FOUND
    case 94:
      return 0x2041;  // ERROR_DS_NO_RESULTS_RETURNED
    case 95:
      return 0xEA;  // ERROR_MORE_DATA
    case 96:
      return 0x2043;  // ERROR_DS_CLIENT_LOOP
    case 97:
      return 0x2044;  // ERROR_DS_REFERRAL_LIMIT_EXCEEDED
    default:
      return 0x2095;  // ERROR_DS_GENERIC_ERROR
  }
}

}  // namespace

HRESULT HresultFromLdapResult(int ldap_result) {
  return HresultFromWin32(Win32FromLdapResult(ldap_result));
}

}  // namespace tessary::ds
