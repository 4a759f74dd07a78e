#pragma once
// The failure vocabulary of the directory layer: HRESULTs as ADSI returns them. Every directory
// operation answers with one of these; the error record explains them (support/bvk_error.h).

#include <cstdint>

namespace tessary {

using HRESULT = std::int32_t;

constexpr HRESULT MakeHresult(std::uint32_t value) { return static_cast<HRESULT>(value); }
constexpr bool Succeeded(HRESULT hr) { return hr >= 0; }
constexpr bool Failed(HRESULT hr) { return hr < 0; }
// A Win32 error code wrapped as an HRESULT (FACILITY_WIN32), as ADSI reports LDAP failures.
constexpr HRESULT HresultFromWin32(std::uint32_t code) {
  return code == 0 ? 0 : MakeHresult(0x80070000u | (code & 0xFFFFu));
}

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT S_ADS_ERRORSOCCURRED = 0x00005011;
inline constexpr HRESULT S_ADS_NOMORE_ROWS = 0x00005012;
inline constexpr HRESULT S_ADS_NOMORE_COLUMNS = 0x00005013;
inline constexpr HRESULT E_NOTIMPL = MakeHresult(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = MakeHresult(0x80004002);
inline constexpr HRESULT E_POINTER = MakeHresult(0x80004003);
inline constexpr HRESULT E_FAIL = MakeHresult(0x80004005);
inline constexpr HRESULT E_ACCESSDENIED = MakeHresult(0x80070005);
inline constexpr HRESULT E_OUTOFMEMORY = MakeHresult(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = MakeHresult(0x80070057);
inline constexpr HRESULT E_ADS_BAD_PATHNAME = MakeHresult(0x80005000);
inline constexpr HRESULT E_ADS_PROPERTY_NOT_FOUND = MakeHresult(0x8000500D);
inline constexpr HRESULT E_ADS_CANT_CONVERT_DATATYPE = MakeHresult(0x8000500C);
inline constexpr HRESULT E_ADS_COLUMN_NOT_SET = MakeHresult(0x80005010);
// ERROR_DS_* codes as ADSI wraps them.
inline constexpr HRESULT E_DS_NO_SUCH_OBJECT = MakeHresult(0x80072030);
inline constexpr HRESULT E_DS_ALREADY_EXISTS = MakeHresult(0x80071392);
inline constexpr HRESULT E_DS_SERVER_DOWN = MakeHresult(0x8007203A);

}  // namespace tessary
