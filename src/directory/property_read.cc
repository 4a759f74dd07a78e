// Reading attribute values from the directory into a property set: the property cache of a bound
// object, the ranged member list, the object SID, and the columns of search rows.

#include <cctype>
#include <chrono>
#include <cstdio>
#include <string>

#include "directory/ad_time.h"
#include "directory/identifier_text.h"
#include "directory/property_set.h"
#include "directory/syntax_table.h"

namespace tessary {
namespace {

constexpr int kMemberRange = 100;

// The six time attributes read as times; any other large integer as its decimal number, so that
// an export of it imports back to the same value.
std::optional<CBVKADValue> LargeIntegerValue(const std::string& attribute, const ds::Value& value) {
  if (value.large_integer() == nullptr) return std::nullopt;
  if (IsLargeIntegerTimeAttribute(attribute)) return LargeIntegerTimeValue(*value.large_integer());
  return CBVKADValue(std::to_string(*value.large_integer()));
}

// The value of one cached attribute value, or nothing when none is stored for it.
std::optional<CBVKADValue> ConvertPropertyValue(const std::string& attribute,
                                                const ds::Value& value) {
  switch (value.type()) {
    case ds::ADSTYPE_DN_STRING:
    case ds::ADSTYPE_CASE_EXACT_STRING:
    case ds::ADSTYPE_CASE_IGNORE_STRING:
    case ds::ADSTYPE_NUMERIC_STRING:
      if (value.string() == nullptr) return std::nullopt;
      return CBVKADValue(*value.string());
    case ds::ADSTYPE_BOOLEAN:
      if (value.boolean()) return CBVKADValue(*value.boolean());
      if (value.integer()) return CBVKADValue(*value.integer() > 0);
      return std::nullopt;
    case ds::ADSTYPE_INTEGER:
      if (value.integer() == nullptr) return std::nullopt;
      return CBVKADValue(*value.integer());
    case ds::ADSTYPE_UTC_TIME: {
      if (value.time() == nullptr) return std::nullopt;
      auto local = UtcToLocalStandardTime(value.time()->time_since_epoch().count());
      if (!local) return std::nullopt;
      return CBVKADValue(*local);
    }
    case ds::ADSTYPE_LARGE_INTEGER:
      return LargeIntegerValue(attribute, value);
    default:
      return CBVKADValue("[" + AdsTypeName(value.type()) + "]");
  }
}

// A search column's time: the UTC fields as they are, without a time-zone shift.
std::optional<CBVKADValue> ColumnTime(const ds::Value& value) {
  if (value.time() == nullptr) return std::nullopt;
  std::time_t when = value.time()->time_since_epoch().count();
  std::tm utc{};
  if (gmtime_r(&when, &utc) == nullptr) return std::nullopt;
  return CBVKADValue(CBVKADTime{utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour,
                                utc.tm_min, utc.tm_sec});
}

}  // namespace

bool CBVKADPropertySet::ReadAttributes(ds::Object& object, const std::vector<std::string>& names) {
  if (HRESULT hr = object.GetInfo(); Failed(hr)) {
    error_.SetText("Could not retrieve the list of defined properties for this object.");
    error_.SetADSIError(hr);
    return false;
  }
  for (const std::string& name : names) {
    if (ReadCore(object, name)) continue;
    if (error_.Code() != E_ADS_PROPERTY_NOT_FOUND) return false;
    error_.SetText("");  // no value is not a failure here
  }
  return true;
}

bool CBVKADPropertySet::ReadAttribute(ds::Object& object, const std::string& name,
                                      Refresh refresh) {
  if (refresh == Refresh::Yes) {
    if (HRESULT hr = object.GetInfo(); Failed(hr)) {
      error_.SetText("Could not retrieve the list of defined properties for this object.");
      error_.SetADSIError(hr);
      return false;
    }
  }
  return ReadCore(object, name);
}

bool CBVKADPropertySet::ReadCore(ds::Object& object, const std::string& name) {
  error_.SetText("");
  if (name == "member") return ReadMembers(object);
  if (name == "objectSid") return ReadSid(object, name);
  if (name == "objectGUID") {
    std::string guid;
    if (HRESULT hr = object.GetGuid(&guid); Failed(hr)) {
      error_.SetText("Could not access information for the attribute value.");
      error_.SetADSIError(hr);
      error_.AddLine("Could not read the property '" + name + "'.");
      return false;
    }
    Store(name, {CBVKADValue(guid)});
    return true;
  }
  return ReadValues(object, name);
}

bool CBVKADPropertySet::ReadValues(ds::Object& object, const std::string& name) {
  ds::Values values;
  if (HRESULT hr = object.GetEx(name, &values); Failed(hr)) {
    error_.SetText("Could not access information for the attribute value.");
    error_.SetADSIError(hr);
    error_.AddLine("Could not read the property '" + name + "'.");
    return false;
  }
  std::vector<CBVKADValue> converted;
  converted.reserve(values.size());
  for (const ds::Value& value : values) {
    if (auto one = ConvertPropertyValue(name, value)) converted.push_back(std::move(*one));
  }
  Store(name, std::move(converted));
  return true;
}

bool CBVKADPropertySet::ReadMembers(ds::Object& object) {
  std::vector<CBVKADValue> members;
  bool any_reply = false;
  for (int first = 0;; first += kMemberRange) {
    char range[64];
    std::snprintf(range, sizeof range, "Member;Range=%d-%d", first, first + kMemberRange - 1);
    std::vector<ds::Attribute> reply;
    if (HRESULT hr = object.GetObjectAttributes({range}, &reply); Failed(hr)) {
      error_.SetText("Could not read the 'member' attribute.");
      error_.SetADSIError(hr);
      error_.AddLine("Could not enumerate group members.");
      return false;
    }
    if (reply.empty()) break;
    any_reply = true;
    const ds::Attribute& answer = reply.front();
    for (const ds::Value& value : answer.values) {
      if (value.string()) members.emplace_back(*value.string());
    }
    // A range ending in "-*" is the last one even when it is full. An answer without a range, or
    // with more values than asked for, is the whole list: asking again would only repeat it.
    std::string name = answer.name;
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool ranged = name.find(";range=") != std::string::npos;
    const bool last = name.size() >= 2 && name.compare(name.size() - 2, 2, "-*") == 0;
    if (!ranged || last || answer.values.size() != static_cast<std::size_t>(kMemberRange)) break;
  }
  if (any_reply) Store("member", std::move(members));
  return true;
}

bool CBVKADPropertySet::ReadSid(ds::Object& object, const std::string& name) {
  std::vector<ds::Attribute> reply;
  if (HRESULT hr = object.GetObjectAttributes({name}, &reply); Failed(hr)) {
    error_.SetText("");
    error_.SetADSIError(hr);
    error_.AddLine("Could not read the '" + name + "' security attribute.");
    return false;
  }
  if (reply.empty() || reply.front().values.empty()) return true;
  const ds::Bytes* bytes = reply.front().values.front().octets();
  std::optional<std::string> text = bytes ? SidToText(*bytes) : std::nullopt;
  if (!text) {
    error_.SetText("Could not convert the security information to a readable string.");
    error_.SetSystemError(kErrorInvalidSid);
    error_.AddLine("Could not read the '" + name + "' security attribute.");
    return false;
  }
  Store(name, {CBVKADValue(std::move(*text))});
  return true;
}

void CBVKADPropertySet::StoreSearchColumn(const ds::Attribute& column) {
  const ds::Values& values = column.values;
  std::vector<CBVKADValue> converted;
  switch (column.type) {
    case ds::ADSTYPE_BOOLEAN:
      if (values.empty() || values.front().boolean() == nullptr) return;
      converted.emplace_back(*values.front().boolean());
      break;
    case ds::ADSTYPE_INTEGER:
      if (values.empty() || values.front().integer() == nullptr) return;
      converted.emplace_back(*values.front().integer());
      break;
    case ds::ADSTYPE_OCTET_STRING: {
      if (values.empty() || values.front().octets() == nullptr) return;
      std::optional<std::string> text;
      if (column.name == "objectGUID") text = GuidBytesToText(*values.front().octets());
      if (column.name == "objectSid") text = SidToText(*values.front().octets());
      if (!text) return;
      converted.emplace_back(std::move(*text));
      break;
    }
    case ds::ADSTYPE_LARGE_INTEGER:
      for (const ds::Value& value : values) {
        if (auto one = LargeIntegerValue(column.name, value)) converted.push_back(std::move(*one));
      }
      break;
    case ds::ADSTYPE_UTC_TIME: {
      if (values.empty()) return;
      auto time = ColumnTime(values.front());
      if (!time) return;
      converted.push_back(std::move(*time));
      break;
    }
    case ds::ADSTYPE_DN_STRING:
    case ds::ADSTYPE_CASE_EXACT_STRING:
    case ds::ADSTYPE_CASE_IGNORE_STRING:
    case ds::ADSTYPE_PRINTABLE_STRING:
    case ds::ADSTYPE_NUMERIC_STRING:
    case ds::ADSTYPE_OBJECT_CLASS:
      for (const ds::Value& value : values) {
        if (value.string()) converted.emplace_back(*value.string());
      }
      break;
    default:
      return;
  }
  Store(column.name, std::move(converted));
}

}  // namespace tessary
