#pragma once
// The search cursor of the embedded directory: candidate rows are read a page at a time in key
// order (children by id for one level, the subtree by path range), each page tested against the
// compiled filter, so memory stays that of one page however many rows match.

#include <memory>

#include "directory/ds/embedded/store.h"
#include "directory/ds/search.h"

namespace tessary::ds::embedded {

// Starts a search based at base. Fails with E_ADS_INVALID_FILTER for a filter that does not
// parse. Caller holds the store's lock.
[[nodiscard]] HRESULT StartSearch(std::shared_ptr<Store> store, const ObjectRecord& base,
                                  const SearchRequest& request,
                                  std::unique_ptr<SearchCursor>* cursor);

}  // namespace tessary::ds::embedded
