#pragma once
// The columns of export and header files: the two identifying columns first, then the chosen
// attributes; and one object's line of an export file.

#include <string>
#include <vector>

#include "directory/property_set.h"
#include "support/date_time_text.h"

namespace tessary {

inline constexpr const char* kDistinguishedNameColumn = "distinguishedName";
inline constexpr const char* kObjectGuidColumn = "objectGUID";

// Puts "distinguishedName" at position 0 and "objectGUID" at position 1 unless they are there
// already; only those two positions are looked at, so a name chosen again further on stays.
void PutIdentityColumns(std::vector<std::string>* columns);

// The column names joined with ",".
std::string ColumnLine(const std::vector<std::string>& columns);

// The row's field for each column (its values joined with "%", quoted when holding a comma,
// CR LF written as "\r\n"; empty for a column the row lacks), joined with ",". Times are
// written with the run's regional formats.
std::string ExportLine(CBVKADPropertySet& row, const std::vector<std::string>& columns,
                       const DateTimeFormats& formats);

}  // namespace tessary
