#pragma once
// A directory value as it crosses the directory service interface: the ADSI type number that the
// schema gives the attribute, and the value itself in one of the variant kinds of ADSI (boolean,
// 32-bit integer, text, date, large integer, octet string).

#include <chrono>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace tessary::ds {

// The platform's ADSI type numbers (ADSTYPEENUM).
enum AdsType : int {
  ADSTYPE_INVALID = 0,
  ADSTYPE_DN_STRING = 1,
  ADSTYPE_CASE_EXACT_STRING = 2,
  ADSTYPE_CASE_IGNORE_STRING = 3,
  ADSTYPE_PRINTABLE_STRING = 4,
  ADSTYPE_NUMERIC_STRING = 5,
  ADSTYPE_BOOLEAN = 6,
  ADSTYPE_INTEGER = 7,
  ADSTYPE_OCTET_STRING = 8,
  ADSTYPE_UTC_TIME = 9,
  ADSTYPE_LARGE_INTEGER = 10,
  ADSTYPE_PROV_SPECIFIC = 11,
  ADSTYPE_OBJECT_CLASS = 12,
  ADSTYPE_CASE_IGNORE_LIST = 13,
  ADSTYPE_OCTET_LIST = 14,
  ADSTYPE_PATH = 15,
  ADSTYPE_POSTALADDRESS = 16,
  ADSTYPE_TIMESTAMP = 17,
  ADSTYPE_BACKLINK = 18,
  ADSTYPE_TYPEDNAME = 19,
  ADSTYPE_HOLD = 20,
  ADSTYPE_NETADDRESS = 21,
  ADSTYPE_REPLICAPOINTER = 22,
  ADSTYPE_FAXNUMBER = 23,
  ADSTYPE_EMAIL = 24,
  ADSTYPE_NT_SECURITY_DESCRIPTOR = 25,
  ADSTYPE_UNKNOWN = 26,
  ADSTYPE_DN_WITH_BINARY = 27,
  ADSTYPE_DN_WITH_STRING = 28,
};

using Bytes = std::vector<std::uint8_t>;
// A point in time in UTC, to the second (the resolution of AD's time syntaxes).
using UtcTime = std::chrono::sys_seconds;

class Value {
 public:
  // The variant kinds: empty, bool, int32, text, date, int64 (large integer), octet string.
  using Variant =
      std::variant<std::monostate, bool, std::int32_t, std::string, UtcTime, std::int64_t, Bytes>;

  Value() = default;
  Value(AdsType type, Variant v) : type_(type), value_(std::move(v)) {}

  // Values for Put/PutEx. The backend converts them by the attribute's schema syntax, so the
  // type given here only needs to be right for GetColumn/GetObjectAttributes answers.
  static Value String(std::string text, AdsType type = ADSTYPE_CASE_IGNORE_STRING) {
    return Value(type, std::move(text));
  }
  static Value Boolean(bool b) { return Value(ADSTYPE_BOOLEAN, b); }
  static Value Integer(std::int32_t i) { return Value(ADSTYPE_INTEGER, i); }
  static Value LargeInteger(std::int64_t i) { return Value(ADSTYPE_LARGE_INTEGER, i); }
  static Value Time(UtcTime t) { return Value(ADSTYPE_UTC_TIME, t); }
  static Value Octets(Bytes bytes, AdsType type = ADSTYPE_OCTET_STRING) {
    return Value(type, std::move(bytes));
  }

  AdsType type() const { return type_; }
  const Variant& variant() const { return value_; }
  bool empty() const { return std::holds_alternative<std::monostate>(value_); }

  // Typed access; each is null when the value is of another kind.
  const bool* boolean() const { return std::get_if<bool>(&value_); }
  const std::int32_t* integer() const { return std::get_if<std::int32_t>(&value_); }
  const std::string* string() const { return std::get_if<std::string>(&value_); }
  const UtcTime* time() const { return std::get_if<UtcTime>(&value_); }
  const std::int64_t* large_integer() const { return std::get_if<std::int64_t>(&value_); }
  const Bytes* octets() const { return std::get_if<Bytes>(&value_); }

  friend bool operator==(const Value&, const Value&) = default;

 private:
  AdsType type_ = ADSTYPE_INVALID;
  Variant value_;
};

using Values = std::vector<Value>;

// One attribute with its values, as GetColumn and GetObjectAttributes hand them out. `name` is
// the name the directory answered with (for a range request such as "member;range=0-99" it is
// the range actually returned, "member;range=0-99" or "member;range=200-*").
struct Attribute {
  std::string name;
  AdsType type = ADSTYPE_INVALID;
  Values values;
};

}  // namespace tessary::ds
