#include "directory/ds/ldap/ldap_values.h"

#include <cctype>
#include <cstdint>

#include "directory/ds/directory_time.h"
#include "directory/ds/ds_error.h"
#include "directory/ds/integer_text.h"

namespace tessary::ds::ldap {
namespace {

bool TextFitsSyntax(std::string_view text, AdsType type) {
  switch (type) {
    case ADSTYPE_BOOLEAN:
      return text == "TRUE" || text == "FALSE";
    case ADSTYPE_INTEGER: {
      std::int32_t number = 0;
      return ParseInteger32(text, &number);
    }
    case ADSTYPE_LARGE_INTEGER: {
      std::int64_t number = 0;
      return ParseInteger(text, &number);
    }
    case ADSTYPE_UTC_TIME: {
      UtcTime time;
      return ParseGeneralizedTime(text, &time);
    }
    default:
      return true;
  }
}

}  // namespace

Value ValueFromLdap(std::string_view wire, const AttributeInfo& info) {
  switch (info.type) {
    case ADSTYPE_BOOLEAN:
      if (wire == "TRUE") return Value::Boolean(true);
      if (wire == "FALSE") return Value::Boolean(false);
      break;
    case ADSTYPE_INTEGER: {
      // AD writes flags such as groupType as signed and some counters as unsigned 32-bit.
      std::int32_t number = 0;
      if (ParseInteger32(wire, &number)) return Value::Integer(number);
      break;
    }
    case ADSTYPE_LARGE_INTEGER: {
      std::int64_t number = 0;
      if (ParseInteger(wire, &number)) return Value::LargeInteger(number);
      break;
    }
    case ADSTYPE_UTC_TIME: {
      UtcTime time;
      if (ParseGeneralizedTime(wire, &time)) return Value::Time(time);
      break;
    }
    case ADSTYPE_OCTET_STRING:
    case ADSTYPE_NT_SECURITY_DESCRIPTOR:
      return Value::Octets(Bytes(wire.begin(), wire.end()), info.type);
    default:
      return Value::String(std::string(wire), info.type);
  }
  return Value::String(std::string(wire), ADSTYPE_CASE_IGNORE_STRING);
}

HRESULT LdapFromValue(const Value& value, const AttributeInfo& info, std::string* wire) {
  if (const bool* b = value.boolean()) {
    *wire = *b ? "TRUE" : "FALSE";
  } else if (const std::int32_t* i = value.integer()) {
    *wire = std::to_string(*i);
  } else if (const std::int64_t* l = value.large_integer()) {
    *wire = std::to_string(*l);
  } else if (const UtcTime* t = value.time()) {
    if (info.type != ADSTYPE_UTC_TIME) return E_ADS_CANT_CONVERT_DATATYPE;
    *wire = info.om_syntax == 23 ? UtcTimeText(*t) : GeneralizedTime(*t);
  } else if (const Bytes* octets = value.octets()) {
    wire->assign(octets->begin(), octets->end());
  } else if (const std::string* text = value.string()) {
    // Text for a typed syntax must be that type's wire form: AD refuses anything else, and
    // Samba would store it, so the check is made here for both.
    if (!TextFitsSyntax(*text, info.type)) return E_DS_INVALID_ATTRIBUTE_SYNTAX;
    *wire = *text;
  } else {
    return E_ADS_CANT_CONVERT_DATATYPE;
  }
  return S_OK;
}

std::string_view BaseAttributeName(std::string_view name) { return name.substr(0, name.find(';')); }

std::string WireAttributeName(std::string_view name) {
  std::string wire(name);
  const std::size_t options = wire.find(';');
  if (options == std::string::npos) return wire;
  for (std::size_t i = options; i < wire.size(); ++i) {
    wire[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(wire[i])));
  }
  return wire;
}

}  // namespace tessary::ds::ldap

namespace tessary::ds::ldap {

bool UnicodePwdValue(std::string_view password, std::string* wire) {
  std::string quoted = "\"" + std::string(password) + "\"";
  wire->clear();
  auto put_unit = [wire](std::uint32_t unit) {
    wire->push_back(static_cast<char>(unit & 0xFF));
    wire->push_back(static_cast<char>(unit >> 8));
  };
  for (size_t i = 0; i < quoted.size();) {
    auto lead = static_cast<unsigned char>(quoted[i]);
    int length = lead < 0x80         ? 1
                 : (lead >> 5) == 6  ? 2
                 : (lead >> 4) == 14 ? 3
                 : (lead >> 3) == 30 ? 4
                                     : 0;
    if (length == 0 || i + length > quoted.size()) return false;
    std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
      auto next = static_cast<unsigned char>(quoted[i + k]);
      if ((next >> 6) != 2) return false;
      code = (code << 6) | (next & 0x3F);
    }
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    if (code >= 0x10000) {
      code -= 0x10000;
      put_unit(0xD800 + (code >> 10));
      put_unit(0xDC00 + (code & 0x3FF));
    } else {
      put_unit(code);
    }
    i += length;
  }
  return true;
}

}  // namespace tessary::ds::ldap
