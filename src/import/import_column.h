#pragma once
// One column of an import file as the file check found it: the name the engine works with and
// how its values are written to the directory.

#include <string>
#include <string_view>

namespace tessary {

// Value types of a column: how its values are put (0 for the engine's own columns).
enum ImportValueType : int {
  kValueSpecial = 0,
  kValueInteger = 3,
  kValueString = 8,
  kValueBoolean = 11,
  kValueLargeInteger = 20,  // 64-bit (the Large Integer syntax)
};

struct CImportColumn {
  std::string Name;
  std::string AdminDisplayName;
  std::string SchemaEntryDN;
  int ValueType = kValueSpecial;
  bool SingleValued = true;
};

// Whether creating matters for pwdLastSet, which the create handler sets itself.
enum class Creating { No, Yes };

// A number's text without the blanks around it, which a spreadsheet may leave.
std::string_view WithoutBlanks(std::string_view text);

// True for the columns the engine handles itself instead of writing them as attributes
// (exact, case-sensitive names).
bool IsSpecialColumn(const std::string& name, Creating creating);

}  // namespace tessary
