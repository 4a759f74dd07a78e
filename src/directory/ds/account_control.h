#pragma once
// IADsUser's AccountDisabled over the property cache, one rule for every backend. A user whose
// userAccountControl is absent (a new object before SetInfo) reads as AD makes such a user:
// a normal account, disabled, no password required.

#include "directory/ds/property_cache.h"

namespace tessary::ds {

constexpr std::int32_t kUacAccountDisable = 0x2;
constexpr std::int32_t kUacPasswordNotRequired = 0x20;
constexpr std::int32_t kUacNormalAccount = 0x200;
constexpr std::int32_t kUacOfNewUser =
    kUacNormalAccount | kUacPasswordNotRequired | kUacAccountDisable;

// E_ADS_CANT_CONVERT_DATATYPE when the value is not one integer.
[[nodiscard]] HRESULT ReadAccountDisabled(const PropertyCache& cache, bool* disabled);
// Puts userAccountControl with the disable bit set or cleared, the other bits kept.
[[nodiscard]] HRESULT WriteAccountDisabled(PropertyCache& cache, bool disabled);

}  // namespace tessary::ds
