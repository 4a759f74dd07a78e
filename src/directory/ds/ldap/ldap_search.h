#pragma once
// Searches and child enumeration over LDAP: the paged results control fetches one page at a time
// as the caller walks the rows.

#include <memory>
#include <string>
#include <vector>

#include "directory/ds/ldap/session.h"
#include "directory/ds/object.h"
#include "directory/ds/search.h"

namespace tessary::ds::ldap {

inline constexpr int kDefaultPageSize = 100;

// Rows of a search based at base_dn. "ADsPath" among the columns is answered from each row's DN,
// as ADSI does; the directory itself has no such attribute.
std::unique_ptr<SearchCursor> NewSearchCursor(std::shared_ptr<Session> session, std::string base_dn,
                                              const SearchRequest& request);

// The children of the container at dn, each read with all its user attributes.
std::unique_ptr<ChildCursor> NewChildCursor(std::shared_ptr<Session> session, std::string dn);

}  // namespace tessary::ds::ldap
