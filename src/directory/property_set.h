#pragma once
// The attribute values read for one directory object, by attribute name, each value converted to
// text, integer, boolean or local time when read. It holds the owning object's error record, so
// every read and lookup failure lands where the object's other failures do.

#include <string>
#include <vector>

#include "directory/ad_value.h"
#include "directory/ds/object.h"
#include "support/bvk_error.h"

namespace tessary {

struct CBVKADPropertyEntry {
  std::string name;
  std::vector<CBVKADValue> values;
};

class CBVKADPropertySet {
 public:
  enum class Refresh { No, Yes };
  enum class NamePrefix { No, Yes };
  enum class BracketErrors { No, Yes };

  CBVKError& Error() { return error_; }
  const CBVKError& Error() const { return error_; }

  // Removes every entry.
  void Clear() { entries_.clear(); }
  // Replaces the entries by copies of another set's entries (the error record stays).
  void CopyFrom(const CBVKADPropertySet& other) { entries_ = other.entries_; }

  // Replaces the values of an entry already present (it keeps its place) or appends a new one. A
  // "distinguishedName" value is stored normalised.
  void Store(const std::string& name, std::vector<CBVKADValue> values);

  int GetEntryCount() const { return static_cast<int>(entries_.size()); }
  // The entry, or null for an index out of range.
  const CBVKADPropertyEntry* GetEntry(int index) const;
  // The entry of that name; null with "Could not locate the property '...'." when missing.
  const CBVKADPropertyEntry* FindEntry(const std::string& name);
  // The entry's name, or "[" + error text + "]" (error "OUT OF RANGE (%d)") for a bad index.
  std::string GetEntryName(int index);

  // The single value's text (empty when there is none). Fails when the entry is missing, holds
  // several values, or its value has no text form.
  [[nodiscard]] bool GetText(const std::string& name, std::string* text);
  // The single value as an integer or boolean; fails as GetText, and when the value is of
  // another kind.
  [[nodiscard]] bool GetInteger(const std::string& name, std::int32_t* integer);
  [[nodiscard]] bool GetBoolean(const std::string& name, bool* boolean);
  // The texts of all values; fails when the entry is missing or a value has no text form.
  [[nodiscard]] bool GetTextList(const std::string& name, std::vector<std::string>* texts);
  // All values' texts joined with the separator, optionally after the name and ": ". A missing
  // entry gives an empty text, or "[" + error text + "]" with BracketErrors::Yes. Times are
  // written with the given regional formats (read from the settings when there are none).
  std::string GetValuesText(const std::string& name, const std::string& separator,
                            NamePrefix prefix = NamePrefix::No,
                            BracketErrors bracket = BracketErrors::No,
                            const DateTimeFormats* formats = nullptr);
  std::string GetValuesText(int index, const std::string& separator,
                            NamePrefix prefix = NamePrefix::No,
                            BracketErrors bracket = BracketErrors::No);

  // Reloads the object's property cache, then reads each name; a name the object has no value
  // for is skipped. Fails on the first other failure.
  [[nodiscard]] bool ReadAttributes(ds::Object& object, const std::vector<std::string>& names);
  // Reads one attribute, reloading the cache first with Refresh::Yes. Fails with
  // E_ADS_PROPERTY_NOT_FOUND in Error().Code() when the object has no value.
  [[nodiscard]] bool ReadAttribute(ds::Object& object, const std::string& name,
                                   Refresh refresh = Refresh::No);
  // Stores one column of a search row by its ADSI type; columns of kinds that are not shown
  // are not stored.
  void StoreSearchColumn(const ds::Attribute& column);

 private:
  const CBVKADPropertyEntry* SingleValue(const std::string& name, const CBVKADValue** value);
  std::string JoinValues(const CBVKADPropertyEntry& entry, const std::string& separator,
                         NamePrefix prefix, const DateTimeFormats* formats = nullptr);
  [[nodiscard]] bool ReadCore(ds::Object& object, const std::string& name);
  [[nodiscard]] bool ReadMembers(ds::Object& object);
  [[nodiscard]] bool ReadSid(ds::Object& object, const std::string& name);
  [[nodiscard]] bool ReadValues(ds::Object& object, const std::string& name);

  CBVKError error_;
  std::vector<CBVKADPropertyEntry> entries_;
};

}  // namespace tessary
