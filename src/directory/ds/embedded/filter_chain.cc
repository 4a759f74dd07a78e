#include "directory/ds/embedded/filter_chain.h"

#include <vector>

namespace tessary::ds::embedded {
namespace {

const AttributeType* ForwardLink(const Store& store, const AttributeType& type) {
  if (type.definition.link_id % 2 == 0) return &type;
  for (const AttributeType& a : store.schema().attributes()) {
    if (a.definition.link_id == type.definition.link_id - 1) return &a;
  }
  return nullptr;
}

// The objects one step from id: those linking to it (walking a forward link backwards), or
// those it links to (walking a back link, which is the forward link read from its source).
HRESULT Neighbours(Store& store, const AttributeType& forward, bool towards_sources,
                   std::int64_t id, std::vector<std::int64_t>* next) {
  next->clear();
  if (towards_sources) return store.LinkSources(id, forward.number, next);
  return store.LinkTargets(id, forward.number, next);
}

}  // namespace

HRESULT ObjectsInChain(Store& store, const AttributeType& type, std::int64_t target,
                       std::unordered_set<std::int64_t>* objects) {
  objects->clear();
  const AttributeType* forward = ForwardLink(store, type);
  if (forward == nullptr || type.definition.link_id <= 0) return S_OK;
  // (member:in-chain:=X) finds the groups that hold X at any depth: walk from X to the objects
  // linking to it. (memberOf:in-chain:=G) finds G's members at any depth: walk G's own links.
  bool towards_sources = forward == &type;
  std::vector<std::int64_t> pending = {target};
  std::vector<std::int64_t> next;
  while (!pending.empty()) {
    std::int64_t id = pending.back();
    pending.pop_back();
    if (HRESULT hr = Neighbours(store, *forward, towards_sources, id, &next); Failed(hr)) return hr;
    for (std::int64_t found : next) {
      if (objects->insert(found).second) pending.push_back(found);
    }
  }
  return S_OK;
}

}  // namespace tessary::ds::embedded
