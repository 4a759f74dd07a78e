#pragma once
// The property cache of one object (IADs), the same for every backend: values read from the
// directory, with the writes put since then laid over them and kept as pending changes for
// SetInfo. A delete removes values as AD's matching does: texts without regard to case.

#include <string>
#include <vector>

#include "directory/ds/object.h"
#include "directory/ds/value.h"

namespace tessary::ds {

// One write put into the cache, waiting for SetInfo.
struct Change {
  PropertyOperation operation = ADS_PROPERTY_UPDATE;
  std::string name;
  Values values;
};

class PropertyCache {
 public:
  bool loaded() const { return loaded_; }
  // Replaces what was read; the pending writes stay laid over it.
  void Load(std::vector<Attribute> attributes);
  // Forgets what was read (the next read loads again); pending writes stay.
  void Invalidate() { loaded_ = false; }
  // Adds or replaces the named attributes only (GetInfoEx).
  void Merge(std::vector<Attribute> attributes, const std::vector<std::string>& names);

  // E_ADS_PROPERTY_NOT_FOUND when the attribute has no value; Get fails with
  // E_ADS_CANT_CONVERT_DATATYPE for several values.
  [[nodiscard]] HRESULT Get(const std::string& name, Value* value) const;
  [[nodiscard]] HRESULT GetEx(const std::string& name, Values* values) const;
  std::vector<std::string> Names() const;

  // Records a write and shows it in the cache at once. E_INVALIDARG for an unknown operation.
  [[nodiscard]] HRESULT Write(PropertyOperation operation, const std::string& name,
                              const Values& values);
  const std::vector<Change>& pending() const { return pending_; }
  void ClearPending() { pending_.clear(); }
  // The pending writes were written: what they show is now what the directory holds.
  void Commit();

 private:
  void Lay(const Change& change);
  const Attribute* Find(const std::string& name) const;

  bool loaded_ = false;
  std::vector<Attribute> read_;
  std::vector<Attribute> view_;
  std::vector<Change> pending_;
};

}  // namespace tessary::ds
