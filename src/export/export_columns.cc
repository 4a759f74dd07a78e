#include "export/export_columns.h"

#include "import/split_values.h"

namespace tessary {

void PutIdentityColumns(std::vector<std::string>* columns) {
  if (columns->empty() || (*columns)[0] != kDistinguishedNameColumn) {
    columns->insert(columns->begin(), kDistinguishedNameColumn);
  }
  if (columns->size() < 2 || (*columns)[1] != kObjectGuidColumn) {
    columns->insert(columns->begin() + 1, kObjectGuidColumn);
  }
}

std::string ColumnLine(const std::vector<std::string>& columns) {
  std::string line;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) line += kLineSeparator;
    line += columns[i];
  }
  return line;
}

std::string ExportLine(CBVKADPropertySet& row, const std::vector<std::string>& columns,
                       const DateTimeFormats& formats) {
  std::string line;
  const std::string separator(kMultiValueSeparator);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) line += kLineSeparator;
    line += FileValueText(row.GetValuesText(columns[i], separator,
                                            CBVKADPropertySet::NamePrefix::No,
                                            CBVKADPropertySet::BracketErrors::No, &formats));
  }
  return line;
}

}  // namespace tessary
