#include "directory/property_set.h"

#include <cstdio>

#include "directory/dn.h"

namespace tessary {

void CBVKADPropertySet::Store(const std::string& name, std::vector<CBVKADValue> values) {
  if (name == "distinguishedName" && !values.empty() && values.front().AsText()) {
    std::string dn = *values.front().AsText();
    NormalizeDN(dn);
    values.front() = CBVKADValue(std::move(dn));
  }
  for (CBVKADPropertyEntry& entry : entries_) {
    if (entry.name == name) {
      entry.values = std::move(values);
      return;
    }
  }
  entries_.push_back({name, std::move(values)});
}

const CBVKADPropertyEntry* CBVKADPropertySet::GetEntry(int index) const {
  if (index < 0 || index >= GetEntryCount()) return nullptr;
  return &entries_[index];
}

const CBVKADPropertyEntry* CBVKADPropertySet::FindEntry(const std::string& name) {
  for (const CBVKADPropertyEntry& entry : entries_) {
    if (entry.name == name) return &entry;
  }
  error_.SetText("Could not locate the property '" + name + "'.");
  return nullptr;
}

std::string CBVKADPropertySet::GetEntryName(int index) {
  if (const CBVKADPropertyEntry* entry = GetEntry(index)) return entry->name;
  char text[40];
  std::snprintf(text, sizeof text, "OUT OF RANGE (%d)", index);
  error_.SetText(text);
  return "[" + error_.GetText() + "]";
}

const CBVKADPropertyEntry* CBVKADPropertySet::SingleValue(const std::string& name,
                                                          const CBVKADValue** value) {
  *value = nullptr;
  const CBVKADPropertyEntry* entry = FindEntry(name);
  if (entry == nullptr) return nullptr;
  if (entry->values.size() > 1) {
    error_.SetText("The property '" + name + "' has multiple values.");
    return nullptr;
  }
  if (!entry->values.empty()) *value = &entry->values.front();
  return entry;
}

bool CBVKADPropertySet::GetText(const std::string& name, std::string* text) {
  const CBVKADValue* value = nullptr;
  if (SingleValue(name, &value) == nullptr) return false;
  text->clear();
  if (value == nullptr) return true;
  std::string reason;
  if (!value->GetText(text, &reason)) {
    error_.SetText("Could not retrieve the value for '" + name + "'.");
    error_.AddLine(reason);
    return false;
  }
  return true;
}

bool CBVKADPropertySet::GetInteger(const std::string& name, std::int32_t* integer) {
  const CBVKADValue* value = nullptr;
  if (SingleValue(name, &value) == nullptr) return false;
  *integer = 0;
  if (value == nullptr) return true;
  if (value->AsInteger() == nullptr) {
    error_.SetText("Could not retrieve the value for '" + name + "'.");
    error_.AddLine("The value is not an integer.");
    return false;
  }
  *integer = *value->AsInteger();
  return true;
}

bool CBVKADPropertySet::GetBoolean(const std::string& name, bool* boolean) {
  const CBVKADValue* value = nullptr;
  if (SingleValue(name, &value) == nullptr) return false;
  *boolean = false;
  if (value == nullptr) return true;
  if (value->AsBoolean() == nullptr) {
    error_.SetText("Could not retrieve the value for '" + name + "'.");
    error_.AddLine("The value is not a boolean.");
    return false;
  }
  *boolean = *value->AsBoolean();
  return true;
}

bool CBVKADPropertySet::GetTextList(const std::string& name, std::vector<std::string>* texts) {
  texts->clear();
  const CBVKADPropertyEntry* entry = FindEntry(name);
  if (entry == nullptr) return false;
  for (const CBVKADValue& value : entry->values) {
    std::string text, reason;
    if (!value.GetText(&text, &reason)) {
      error_.SetText("Could not retrieve the value for '" + name + "'.");
      error_.AddLine(reason);
      return false;
    }
    texts->push_back(std::move(text));
  }
  return true;
}

std::string CBVKADPropertySet::JoinValues(const CBVKADPropertyEntry& entry,
                                          const std::string& separator, NamePrefix prefix,
                                          const DateTimeFormats* formats) {
  std::string joined;
  for (std::size_t i = 0; i < entry.values.size(); ++i) {
    std::string text, reason;
    // A value without a text form shows its reason in place, so no value is silently dropped.
    if (!entry.values[i].GetText(&text, &reason, formats)) text = "[" + reason + "]";
    if (i > 0) joined += separator;
    joined += text;
  }
  return prefix == NamePrefix::Yes ? entry.name + ": " + joined : joined;
}

std::string CBVKADPropertySet::GetValuesText(const std::string& name, const std::string& separator,
                                             NamePrefix prefix, BracketErrors bracket,
                                             const DateTimeFormats* formats) {
  const CBVKADPropertyEntry* entry = FindEntry(name);
  if (entry == nullptr) {
    return bracket == BracketErrors::Yes ? "[" + error_.GetText() + "]" : std::string();
  }
  return JoinValues(*entry, separator, prefix, formats);
}

std::string CBVKADPropertySet::GetValuesText(int index, const std::string& separator,
                                             NamePrefix prefix, BracketErrors bracket) {
  const CBVKADPropertyEntry* entry = GetEntry(index);
  if (entry == nullptr) {
    std::string name = GetEntryName(index);
    return bracket == BracketErrors::Yes ? name : std::string();
  }
  return JoinValues(*entry, separator, prefix);
}

}  // namespace tessary
