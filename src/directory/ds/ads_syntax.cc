#include "directory/ds/ads_syntax.h"

namespace tessary::ds {

AdsType AdsTypeOfSyntax(int om_syntax, std::string_view attribute_syntax) {
  switch (om_syntax) {
    case 1:
      return ADSTYPE_BOOLEAN;
    case 2:
    case 10:
      return ADSTYPE_INTEGER;
    case 4:
      return ADSTYPE_OCTET_STRING;
    case 18:
      return ADSTYPE_NUMERIC_STRING;
    case 19:
    case 22:
      return ADSTYPE_PRINTABLE_STRING;
    case 23:
    case 24:
      return ADSTYPE_UTC_TIME;
    case 27:
      return ADSTYPE_CASE_EXACT_STRING;
    case 65:
      return ADSTYPE_LARGE_INTEGER;
    case 66:
      return ADSTYPE_NT_SECURITY_DESCRIPTOR;
    case 127:
      // Object syntaxes: access-point DNs read as plain DNs, OR names and presentation
      // addresses as text.
      if (attribute_syntax == "2.5.5.1" || attribute_syntax == "2.5.5.14") return ADSTYPE_DN_STRING;
      if (attribute_syntax == "2.5.5.17") return ADSTYPE_DN_WITH_BINARY;
      if (attribute_syntax == "2.5.5.10") return ADSTYPE_OCTET_STRING;
      return ADSTYPE_CASE_IGNORE_STRING;
    default:  // 6 OID, 20 case-ignore, 64 directory string, and anything unknown
      return ADSTYPE_CASE_IGNORE_STRING;
  }
}

}  // namespace tessary::ds
