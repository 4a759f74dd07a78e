#pragma once
// LDAP search filters (RFC 4515) as AD evaluates them: parsed once into a tree, then compiled
// against the schema and the store (DN values and AD's short objectCategory names resolved to
// objects, numbers parsed) so that every candidate row is tested without further lookups.

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "directory/ds/embedded/store.h"
#include "platform/hresult.h"

namespace tessary::ds::embedded {

struct FilterNode {
  enum class Kind {
    kAnd,
    kOr,
    kNot,
    kEquality,
    kPresent,
    kSubstrings,
    kGreaterOrEqual,
    kLessOrEqual,
    kApproximate,
    kExtensible
  };
  Kind kind = Kind::kPresent;
  std::string attribute;
  std::string value;                 // unescaped assertion value
  std::string initial, final;        // substrings
  std::vector<std::string> any;      // substrings
  std::string matching_rule;         // extensible
  std::vector<FilterNode> children;  // and, or, not
};

// Parses an RFC 4515 filter; a filter without its outer parentheses is accepted, as ADSI does.
// Fails with the reason.
[[nodiscard]] bool ParseFilter(std::string_view text, FilterNode* filter, std::string* error);

// The object a filter is tested against.
struct Candidate {
  const ObjectRecord* record = nullptr;
};

class CompiledFilter {
 public:
  virtual ~CompiledFilter() = default;
  virtual bool Matches(const Candidate& candidate) const = 0;
};

// Compiles a parsed filter for the store (whose lock the caller holds); attributes records the
// stored attribute numbers the filter reads, so rows need decode only those.
[[nodiscard]] HRESULT CompileFilter(const FilterNode& filter, Store& store,
                                    std::unique_ptr<CompiledFilter>* compiled,
                                    std::set<int>* attributes);

}  // namespace tessary::ds::embedded
