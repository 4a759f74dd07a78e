#pragma once
// Changes to the values of linked attributes (member, manager, ...) on their way to the store.
// Those values are kept one row each, never in the object's record, so adding one member to a
// group of fifteen thousand writes one row and reads none of the others. The edits of one write
// are collected first, with AD's checks against the rows already there, then written together.

#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "directory/ds/embedded/store.h"
#include "directory/ds/object.h"

namespace tessary::ds::embedded {

class LinkEdits {
 public:
  // source: the object whose values change; 0 for one being created (it has none yet).
  LinkEdits(Store& store, std::int64_t source) : store_(store), source_(source) {}

  // One change of the property cache to a linked attribute; `repeated` is the failure for a
  // value that is already there.
  [[nodiscard]] HRESULT Apply(int attribute, PropertyOperation operation,
                              const std::vector<std::int64_t>& targets, HRESULT repeated);
  // The number of values the attribute will have once the edits are written, or a number of at
  // least `at_most` when it will have that many or more.
  [[nodiscard]] HRESULT CountAfter(int attribute, std::int64_t at_most, std::int64_t* count);
  // The attributes changed.
  std::vector<int> Attributes() const;
  // Writes the edits for the object (its id, now that it exists).
  [[nodiscard]] HRESULT Write(std::int64_t source);

 public:
  struct Pending {
    bool cleared = false;              // every stored value goes first
    std::vector<std::int64_t> added;   // in the order given
    std::set<std::int64_t> removed;    // stored values that go
  };
 private:
  [[nodiscard]] HRESULT Has(int attribute, const Pending& pending, std::int64_t target,
                            bool* has);

  Store& store_;
  std::int64_t source_;
  std::map<int, Pending> pending_;
};

}  // namespace tessary::ds::embedded
