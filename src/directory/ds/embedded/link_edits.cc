#include "directory/ds/embedded/link_edits.h"

#include <algorithm>

#include "directory/ds/ds_error.h"

namespace tessary::ds::embedded {
namespace {

// Edits that start from no values at all.
LinkEdits::Pending Cleared() {
  LinkEdits::Pending pending;
  pending.cleared = true;
  return pending;
}

}  // namespace

HRESULT LinkEdits::Has(int attribute, const Pending& pending, std::int64_t target, bool* has) {
  if (std::find(pending.added.begin(), pending.added.end(), target) != pending.added.end()) {
    *has = true;
    return S_OK;
  }
  *has = false;
  if (pending.cleared || source_ == 0 || pending.removed.contains(target)) return S_OK;
  return store_.HasLink(source_, attribute, target, has);
}

HRESULT LinkEdits::Apply(int attribute, PropertyOperation operation,
                         const std::vector<std::int64_t>& targets, HRESULT repeated) {
  Pending& pending = pending_[attribute];
  switch (operation) {
    case ADS_PROPERTY_CLEAR:
      pending = Cleared();
      return S_OK;
    case ADS_PROPERTY_UPDATE:
      pending = Cleared();
      for (std::int64_t target : targets) {
        bool has = false;
        if (HRESULT hr = Has(attribute, pending, target, &has); Failed(hr)) return hr;
        if (has) return E_DS_ATTRIBUTE_OR_VALUE_EXISTS;
        pending.added.push_back(target);
      }
      return S_OK;
    case ADS_PROPERTY_APPEND:
      for (std::int64_t target : targets) {
        bool has = false;
        if (HRESULT hr = Has(attribute, pending, target, &has); Failed(hr)) return hr;
        if (has) return repeated;
        pending.added.push_back(target);
      }
      return S_OK;
    case ADS_PROPERTY_DELETE: {
      if (targets.empty()) {
        std::int64_t count = 0;
        if (HRESULT hr = CountAfter(attribute, 1, &count); Failed(hr)) return hr;
        if (count == 0) return E_DS_NO_ATTRIBUTE_OR_VALUE;
        pending = Cleared();
        return S_OK;
      }
      for (std::int64_t target : targets) {
        bool has = false;
        if (HRESULT hr = Has(attribute, pending, target, &has); Failed(hr)) return hr;
        if (!has) return E_DS_NO_ATTRIBUTE_OR_VALUE;
        auto added = std::find(pending.added.begin(), pending.added.end(), target);
        if (added != pending.added.end()) {
          pending.added.erase(added);
        } else {
          pending.removed.insert(target);
        }
      }
      return S_OK;
    }
    default:
      return E_INVALIDARG;
  }
}

HRESULT LinkEdits::CountAfter(int attribute, std::int64_t at_most, std::int64_t* count) {
  const Pending& pending = pending_[attribute];
  std::int64_t stored = 0;
  if (!pending.cleared && source_ != 0) {
    // The values that go are among those stored, so counting that many more is enough.
    const auto limit = static_cast<std::int64_t>(pending.removed.size()) + at_most;
    if (HRESULT hr = store_.LinkCount(source_, attribute, limit, &stored); Failed(hr)) return hr;
  }
  *count = stored - static_cast<std::int64_t>(pending.removed.size()) +
           static_cast<std::int64_t>(pending.added.size());
  return S_OK;
}

std::vector<int> LinkEdits::Attributes() const {
  std::vector<int> attributes;
  for (const auto& [attribute, pending] : pending_) attributes.push_back(attribute);
  return attributes;
}

HRESULT LinkEdits::Write(std::int64_t source) {
  for (const auto& [attribute, pending] : pending_) {
    if (pending.cleared) {
      if (HRESULT hr = store_.ClearLinks(source, attribute); Failed(hr)) return hr;
    }
    for (std::int64_t target : pending.removed) {
      if (HRESULT hr = store_.RemoveLink(source, attribute, target); Failed(hr)) return hr;
    }
    for (std::int64_t target : pending.added) {
      if (HRESULT hr = store_.AddLink(source, attribute, target); Failed(hr)) return hr;
    }
  }
  return S_OK;
}

}  // namespace tessary::ds::embedded
