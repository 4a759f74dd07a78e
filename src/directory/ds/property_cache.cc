#include "directory/ds/property_cache.h"

#include <algorithm>

#include "directory/ds/dn.h"

namespace tessary::ds {
namespace {

bool SameName(const std::string& a, const std::string& b) { return AsciiLower(a) == AsciiLower(b); }

bool SameValue(const Value& a, const Value& b) {
  if (a.string() != nullptr && b.string() != nullptr) {
    return AsciiLower(*a.string()) == AsciiLower(*b.string());
  }
  return a.variant() == b.variant();
}

}  // namespace

void PropertyCache::Load(std::vector<Attribute> attributes) {
  read_ = std::move(attributes);
  loaded_ = true;
  view_ = read_;
  for (const Change& change : pending_) Lay(change);
}

void PropertyCache::Merge(std::vector<Attribute> attributes,
                          const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    std::erase_if(read_, [&](const Attribute& a) { return SameName(a.name, name); });
  }
  for (Attribute& attribute : attributes) {
    bool wanted = std::any_of(names.begin(), names.end(),
                              [&](const std::string& n) { return SameName(n, attribute.name); });
    if (wanted) read_.push_back(std::move(attribute));
  }
  loaded_ = true;
  view_ = read_;
  for (const Change& change : pending_) Lay(change);
}

const Attribute* PropertyCache::Find(const std::string& name) const {
  for (const Attribute& attribute : view_) {
    if (SameName(attribute.name, name)) return &attribute;
  }
  return nullptr;
}

HRESULT PropertyCache::Get(const std::string& name, Value* value) const {
  const Attribute* attribute = Find(name);
  if (attribute == nullptr || attribute->values.empty()) return E_ADS_PROPERTY_NOT_FOUND;
  if (attribute->values.size() > 1) return E_ADS_CANT_CONVERT_DATATYPE;
  *value = attribute->values.front();
  return S_OK;
}

HRESULT PropertyCache::GetEx(const std::string& name, Values* values) const {
  const Attribute* attribute = Find(name);
  if (attribute == nullptr || attribute->values.empty()) return E_ADS_PROPERTY_NOT_FOUND;
  *values = attribute->values;
  return S_OK;
}

std::vector<std::string> PropertyCache::Names() const {
  std::vector<std::string> names;
  for (const Attribute& attribute : view_) {
    if (!attribute.values.empty()) names.push_back(attribute.name);
  }
  return names;
}

void PropertyCache::Commit() {
  read_ = view_;
  pending_.clear();
}

HRESULT PropertyCache::Write(PropertyOperation operation, const std::string& name,
                             const Values& values) {
  if (operation < ADS_PROPERTY_CLEAR || operation > ADS_PROPERTY_DELETE) return E_INVALIDARG;
  Change change{operation, name, values};
  Lay(change);
  pending_.push_back(std::move(change));
  return S_OK;
}

void PropertyCache::Lay(const Change& change) {
  auto found = std::find_if(view_.begin(), view_.end(),
                            [&](const Attribute& a) { return SameName(a.name, change.name); });
  if (found == view_.end()) {
    AdsType type = change.values.empty() ? ADSTYPE_INVALID : change.values.front().type();
    view_.push_back({change.name, type, {}});
    found = view_.end() - 1;
  }
  Values& values = found->values;
  switch (change.operation) {
    case ADS_PROPERTY_CLEAR:
      values.clear();
      break;
    case ADS_PROPERTY_UPDATE:
      values = change.values;
      break;
    case ADS_PROPERTY_APPEND:
      values.insert(values.end(), change.values.begin(), change.values.end());
      break;
    case ADS_PROPERTY_DELETE:
      if (change.values.empty()) values.clear();
      for (const Value& gone : change.values) {
        std::erase_if(values, [&](const Value& v) { return SameValue(v, gone); });
      }
      break;
  }
}

}  // namespace tessary::ds
