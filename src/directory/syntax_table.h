#pragma once
// From a schema attribute's oMSyntax and attributeSyntax to the syntax shown to the user, the ADSI
// value type and the variant type by which a value of that syntax is written.

#include <string>

#include "directory/ds/value.h"

namespace tessary {

// Variant types used to put values.
enum VariantType : int {
  kVtI4 = 3,
  kVtDate = 7,
  kVtBstr = 8,
  kVtDispatch = 9,
  kVtBool = 11,
  kVtVariant = 12,
  kVtArrayOfUi1 = 8209,
};

struct AttributeSyntax {
  std::string text;
  ds::AdsType ads_type = ds::ADSTYPE_INVALID;
  int variant_type = 0;
};

// The row for the pair, or false when the table does not know it.
[[nodiscard]] bool LookUpSyntax(int om_syntax, const std::string& attribute_syntax,
                                AttributeSyntax* syntax);

// The name of an ADSI value type as messages and unconverted values show it ("Unknown" outside
// the list).
std::string AdsTypeName(int ads_type);

}  // namespace tessary
