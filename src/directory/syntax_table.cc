#include "directory/syntax_table.h"

#include <array>

namespace tessary {
namespace {

struct Row {
  int om_syntax;
  const char* attribute_syntax;  // nullptr: any
  const char* text;
  ds::AdsType ads_type;
  int variant_type;
};

// For oMSyntax 4 and 127 the rows are tried in order and the first match wins, so
// "2.5.5.14" gives "Access Point Distinguished Name" before any other row could.
constexpr std::array<Row, 23> kRows = {{
    {1, nullptr, "Boolean", ds::ADSTYPE_BOOLEAN, kVtBool},
    {2, nullptr, "Integer", ds::ADSTYPE_INTEGER, kVtI4},
    {4, "2.5.5.10", "Octet String", ds::ADSTYPE_OCTET_STRING, kVtArrayOfUi1},
    {4, "2.5.5.17", "Security Identifier", ds::ADSTYPE_OCTET_STRING, kVtArrayOfUi1},
    {4, nullptr, "Unknown Octet String", ds::ADSTYPE_OCTET_STRING, kVtArrayOfUi1},
    {6, nullptr, "OID String", ds::ADSTYPE_CASE_IGNORE_STRING, kVtBstr},
    {10, nullptr, "Enumeration", ds::ADSTYPE_INTEGER, kVtI4},
    {18, nullptr, "Numeric String", ds::ADSTYPE_NUMERIC_STRING, kVtBstr},
    {19, nullptr, "Printable String", ds::ADSTYPE_PRINTABLE_STRING, kVtBstr},
    {20, nullptr, "Case Ignore String", ds::ADSTYPE_CASE_IGNORE_STRING, kVtBstr},
    {22, nullptr, "IA5 String", ds::ADSTYPE_PRINTABLE_STRING, kVtBstr},
    {23, nullptr, "UTC Time", ds::ADSTYPE_UTC_TIME, kVtDate},
    {24, nullptr, "Generalized Time", ds::ADSTYPE_UTC_TIME, kVtDate},
    {27, nullptr, "Case Exact String", ds::ADSTYPE_CASE_EXACT_STRING, kVtBstr},
    {64, nullptr, "Directory String", ds::ADSTYPE_CASE_IGNORE_STRING, kVtBstr},
    {65, nullptr, "Large Integer", ds::ADSTYPE_LARGE_INTEGER, kVtDispatch},
    {66, nullptr, "NT Security Descriptor", ds::ADSTYPE_NT_SECURITY_DESCRIPTOR, kVtDispatch},
    {127, "2.5.5.14", "Access Point Distinguished Name", ds::ADSTYPE_DN_STRING, kVtBstr},
    {127, "2.5.5.1", "Distinguished Name", ds::ADSTYPE_DN_STRING, kVtBstr},
    {127, "2.5.5.17", "Distinguished Name with Binary", ds::ADSTYPE_DN_WITH_BINARY, kVtDispatch},
    {127, "2.5.5.7", "OR Name", ds::ADSTYPE_CASE_IGNORE_STRING, kVtBstr},
    {127, "2.5.5.13", "Presentation Address", ds::ADSTYPE_CASE_IGNORE_STRING, kVtBstr},
    {127, "2.5.5.10", "Replica Link", ds::ADSTYPE_OCTET_STRING, kVtVariant},
}};

constexpr std::array<const char*, 29> kTypeNames = {"Invalid",
                                                    "DN String",
                                                    "Case Exact String",
                                                    "Case Ignore String",
                                                    "Printable String",
                                                    "Numeric String",
                                                    "Boolean",
                                                    "Integer",
                                                    "Octet String",
                                                    "UTC Time",
                                                    "Large Integer",
                                                    "Prov Specific",
                                                    "Object Class",
                                                    "Case Ignore List",
                                                    "Octet List",
                                                    "Path",
                                                    "Postal Address",
                                                    "Time Stamp",
                                                    "Back Link",
                                                    "Typed Name",
                                                    "Hold",
                                                    "Net Address",
                                                    "Replica Pointer",
                                                    "Fax Number",
                                                    "E-mail",
                                                    "NT Security Descriptor",
                                                    "Unknown",
                                                    "DN with Binary",
                                                    "DN with String"};

}  // namespace

bool LookUpSyntax(int om_syntax, const std::string& attribute_syntax, AttributeSyntax* syntax) {
  for (const Row& row : kRows) {
    if (row.om_syntax != om_syntax) continue;
    if (row.attribute_syntax != nullptr && attribute_syntax != row.attribute_syntax) continue;
    *syntax = {row.text, row.ads_type, row.variant_type};
    return true;
  }
  return false;
}

std::string AdsTypeName(int ads_type) {
  if (ads_type < 0 || ads_type >= static_cast<int>(kTypeNames.size())) return "Unknown";
  return kTypeNames[ads_type];
}

}  // namespace tessary
