#pragma once
// The in-chain matching rule (1.2.840.113556.1.4.1941): a linked attribute followed through any
// number of objects, as AD walks nested groups or chains of managers in one filter item.

#include <cstdint>
#include <unordered_set>

#include "directory/ds/embedded/store.h"

namespace tessary::ds::embedded {

// The objects whose values of the linked attribute `type` (a forward link such as member, or a
// back link such as memberOf) lead to target through any number of steps. target itself is
// among them only when it lies on a loop. Fails with E_FAIL when the file cannot be read.
[[nodiscard]] HRESULT ObjectsInChain(Store& store, const AttributeType& type, std::int64_t target,
                                     std::unordered_set<std::int64_t>* objects);

}  // namespace tessary::ds::embedded
