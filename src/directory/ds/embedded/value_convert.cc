#include "directory/ds/embedded/value_convert.h"

#include "directory/ds/dn.h"
#include "directory/ds/ds_error.h"
#include "directory/ds/embedded/sid.h"
#include "directory/ds/integer_text.h"
#include "support/unicode_fold.h"

namespace tessary::ds::embedded {
namespace {

bool IsPrintable(const std::string& text) {
  for (char c : text) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
              std::string_view(" '()+,-./:=?").find(c) != std::string_view::npos;
    if (!ok) return false;
  }
  return true;
}

bool IsNumericString(const std::string& text) {
  for (char c : text) {
    if (!(c >= '0' && c <= '9') && c != ' ') return false;
  }
  return true;
}

bool IsAscii(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) > 0x7F) return false;
  }
  return true;
}

HRESULT TextValue(const AttributeType& type, const Value& value, Stored* stored) {
  std::string text;
  if (const std::string* s = value.string()) {
    text = *s;
  } else if (const std::int32_t* i = value.integer()) {
    text = std::to_string(*i);
  } else if (const std::int64_t* l = value.large_integer()) {
    text = std::to_string(*l);
  } else {
    return E_DS_INVALID_ATTRIBUTE_SYNTAX;
  }
  if (text.empty()) return E_DS_INVALID_ATTRIBUTE_SYNTAX;
  // Strings travel as UTF-8; bytes that are not would read back as some other text.
  if (!IsValidUtf8(text)) return E_DS_CONSTRAINT_VIOLATION;
  int om = type.definition.om_syntax;
  if ((om == 19 && !IsPrintable(text)) || (om == 18 && !IsNumericString(text)) ||
      (om == 22 && !IsAscii(text))) {
    return E_DS_INVALID_ATTRIBUTE_SYNTAX;
  }
  *stored = std::move(text);
  return S_OK;
}

HRESULT IntegerValue(const Value& value, std::int64_t low, std::int64_t high, Stored* stored) {
  std::int64_t number = 0;
  if (const std::int32_t* i = value.integer()) {
    number = *i;
  } else if (const std::int64_t* l = value.large_integer()) {
    number = *l;
  } else if (const std::string* s = value.string()) {
    if (!ParseInteger(*s, &number)) return E_DS_INVALID_ATTRIBUTE_SYNTAX;
  } else {
    return E_DS_INVALID_ATTRIBUTE_SYNTAX;
  }
  if (number < low || number > high) return E_DS_INVALID_ATTRIBUTE_SYNTAX;
  *stored = number;
  return S_OK;
}

}  // namespace

std::size_t CharacterCount(const std::string& text) {
  std::size_t count = 0;
  for (char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

std::int64_t FileTimeOf(UtcTime time) {
  return (time.time_since_epoch().count() + 11644473600LL) * 10000000LL;
}

HRESULT ToStored(Store& store, const AttributeType& type, const Value& value, Stored* stored) {
  switch (type.kind) {
    case StorageKind::kText:
    case StorageKind::kCaseExactText:
      return TextValue(type, value, stored);
    case StorageKind::kInteger:
      // AD takes 32-bit values written signed or unsigned (groupType, userAccountControl).
      if (HRESULT hr = IntegerValue(value, INT32_MIN, UINT32_MAX, stored); Failed(hr)) return hr;
      *stored = static_cast<std::int64_t>(
          static_cast<std::int32_t>(static_cast<std::uint32_t>(std::get<std::int64_t>(*stored))));
      return S_OK;
    case StorageKind::kLargeInteger:
      return IntegerValue(value, INT64_MIN, INT64_MAX, stored);
    case StorageKind::kBoolean:
      if (const bool* b = value.boolean()) {
        *stored = std::int64_t{*b ? 1 : 0};
        return S_OK;
      }
      if (const std::string* s = value.string()) {
        std::string upper = AsciiLower(*s);
        if (upper == "true" || upper == "false") {
          *stored = std::int64_t{upper == "true" ? 1 : 0};
          return S_OK;
        }
      }
      return E_DS_INVALID_ATTRIBUTE_SYNTAX;
    case StorageKind::kTime: {
      UtcTime time;
      if (const UtcTime* t = value.time()) {
        time = *t;
      } else if (const std::string* s = value.string();
                 s == nullptr || !ParseGeneralizedTime(*s, &time)) {
        return E_DS_INVALID_ATTRIBUTE_SYNTAX;
      }
      *stored = static_cast<std::int64_t>(time.time_since_epoch().count());
      return S_OK;
    }
    case StorageKind::kBytes:
      if (const Bytes* bytes = value.octets()) {
        *stored = *bytes;
        return S_OK;
      }
      return E_DS_INVALID_ATTRIBUTE_SYNTAX;
    case StorageKind::kSid: {
      std::optional<Bytes> sid;
      if (const Bytes* bytes = value.octets()) {
        if (IsValidSid(*bytes)) sid = *bytes;
      } else if (const std::string* s = value.string()) {
        sid = SidFromText(*s);
      }
      if (!sid) return E_DS_INVALID_ATTRIBUTE_SYNTAX;
      *stored = std::move(*sid);
      return S_OK;
    }
    case StorageKind::kDn: {
      const std::string* dn = value.string();
      if (dn == nullptr || DnKey(*dn).empty()) return E_DS_INVALID_ATTRIBUTE_SYNTAX;
      std::optional<std::int64_t> id = store.IdOf(*dn);
      if (!id) return E_DS_NO_SUCH_OBJECT;
      *stored = Link{*id};
      return S_OK;
    }
  }
  return E_DS_INVALID_ATTRIBUTE_SYNTAX;
}

bool ToValue(Store& store, const AttributeType& type, const Stored& stored, Value* value) {
  if (const Link* link = std::get_if<Link>(&stored)) {
    std::optional<std::string> dn = store.DnOf(link->id);
    if (!dn) return false;
    *value = Value(type.ads_type, std::move(*dn));
    return true;
  }
  if (const std::string* text = std::get_if<std::string>(&stored)) {
    *value = Value(type.ads_type, *text);
    return true;
  }
  if (const Bytes* bytes = std::get_if<Bytes>(&stored)) {
    *value = Value(type.ads_type, *bytes);
    return true;
  }
  std::int64_t number = std::get<std::int64_t>(stored);
  switch (type.kind) {
    case StorageKind::kBoolean:
      *value = Value::Boolean(number != 0);
      break;
    case StorageKind::kInteger:
      *value = Value::Integer(static_cast<std::int32_t>(number));
      break;
    case StorageKind::kTime:
      *value = Value::Time(UtcTime(std::chrono::seconds(number)));
      break;
    default:
      *value = Value::LargeInteger(number);
      break;
  }
  return true;
}

bool SameValue(const AttributeType& type, const Stored& a, const Stored& b) {
  if (type.kind == StorageKind::kText) {
    const std::string* x = std::get_if<std::string>(&a);
    const std::string* y = std::get_if<std::string>(&b);
    if (x != nullptr && y != nullptr) return EqualsFolded(*x, *y);
  }
  return a == b;
}

}  // namespace tessary::ds::embedded
