#pragma once
// The directory's two time syntaxes: generalized time ("20261207210000.0Z") and UTC time
// ("261207210000Z"), read and written the one way for every backend.

#include <string>
#include <string_view>

#include "directory/ds/value.h"

namespace tessary::ds {

// Either form, a fraction of seconds allowed and dropped; only "Z" as the zone. False for
// anything else, a date that does not exist or a leap second (AD stores none).
[[nodiscard]] bool ParseGeneralizedTime(std::string_view text, UtcTime* time);
std::string GeneralizedTime(UtcTime time);
// The two-digit-year form of the UTC time syntax.
std::string UtcTimeText(UtcTime time);

}  // namespace tessary::ds
