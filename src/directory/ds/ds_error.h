#pragma once
// The directory failure codes that the backends answer with, beyond those of platform/hresult.h,
// and the mapping of LDAP result codes to them as ADSI makes it (LDAP result -> Win32 directory
// error -> HRESULT), so both backends give the same code for the same failure.

#include "platform/hresult.h"

namespace tessary::ds {

inline constexpr HRESULT E_ADS_PROPERTY_NOT_SUPPORTED = MakeHresult(0x80005006);
inline constexpr HRESULT E_ADS_OBJECT_UNBOUND = MakeHresult(0x80005009);
inline constexpr HRESULT E_ADS_INVALID_FILTER = MakeHresult(0x80005014);

// LDAP result codes as HRESULTs (HresultFromLdapResult of the code in the comment).
inline constexpr HRESULT E_DS_OPERATIONS_ERROR = MakeHresult(0x80072020);           // 1
inline constexpr HRESULT E_DS_NO_ATTRIBUTE_OR_VALUE = MakeHresult(0x8007200A);      // 16
inline constexpr HRESULT E_DS_ATTRIBUTE_TYPE_UNDEFINED = MakeHresult(0x8007200C);   // 17
inline constexpr HRESULT E_DS_INAPPROPRIATE_MATCHING = MakeHresult(0x8007202E);     // 18
inline constexpr HRESULT E_DS_CONSTRAINT_VIOLATION = MakeHresult(0x8007202F);       // 19
inline constexpr HRESULT E_DS_ATTRIBUTE_OR_VALUE_EXISTS = MakeHresult(0x8007200D);  // 20
inline constexpr HRESULT E_DS_INVALID_ATTRIBUTE_SYNTAX = MakeHresult(0x8007200B);   // 21
inline constexpr HRESULT E_DS_INVALID_DN_SYNTAX = MakeHresult(0x80072032);          // 34
inline constexpr HRESULT E_DS_UNWILLING_TO_PERFORM = MakeHresult(0x80072035);       // 53
inline constexpr HRESULT E_DS_NAMING_VIOLATION = MakeHresult(0x80072037);           // 64
inline constexpr HRESULT E_DS_OBJ_CLASS_VIOLATION = MakeHresult(0x80072014);        // 65
inline constexpr HRESULT E_DS_CANT_ON_NON_LEAF = MakeHresult(0x80072015);           // 66
inline constexpr HRESULT E_DS_CANT_ON_RDN = MakeHresult(0x80072016);                // 67
inline constexpr HRESULT E_DS_CANT_MOD_OBJ_CLASS = MakeHresult(0x80072017);         // 69
inline constexpr HRESULT E_DS_FILTER_UNKNOWN = MakeHresult(0x8007203E);             // 87

// The HRESULT ADSI reports for an LDAP result code (0 gives S_OK; 32 gives 0x80072030, 68 gives
// 0x80071392, 49 gives 0x8007052E, ...). An unknown code gives ERROR_DS_GENERIC_ERROR's HRESULT.
HRESULT HresultFromLdapResult(int ldap_result);

}  // namespace tessary::ds
