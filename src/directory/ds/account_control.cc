#include "directory/ds/account_control.h"

namespace tessary::ds {
namespace {

HRESULT FlagsOf(const PropertyCache& cache, std::int32_t* flags) {
  Value value;
  HRESULT hr = cache.Get("userAccountControl", &value);
  if (hr == E_ADS_PROPERTY_NOT_FOUND) {
    *flags = kUacOfNewUser;
    return S_OK;
  }
  if (Failed(hr)) return hr;
  if (value.integer() == nullptr) return E_ADS_CANT_CONVERT_DATATYPE;
  *flags = *value.integer();
  return S_OK;
}

}  // namespace

HRESULT ReadAccountDisabled(const PropertyCache& cache, bool* disabled) {
  std::int32_t flags = 0;
  if (HRESULT hr = FlagsOf(cache, &flags); Failed(hr)) return hr;
  *disabled = (flags & kUacAccountDisable) != 0;
  return S_OK;
}

HRESULT WriteAccountDisabled(PropertyCache& cache, bool disabled) {
  std::int32_t flags = 0;
  if (HRESULT hr = FlagsOf(cache, &flags); Failed(hr)) return hr;
  flags = disabled ? flags | kUacAccountDisable : flags & ~kUacAccountDisable;
  return cache.Write(ADS_PROPERTY_UPDATE, "userAccountControl", {Value::Integer(flags)});
}

}  // namespace tessary::ds
