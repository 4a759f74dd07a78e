#pragma once
// A directory search as IDirectorySearch runs it: preferences, then a cursor over the rows that
// streams page by page (never a collected list), walked with the ADSI success codes
// S_ADS_NOMORE_ROWS (0x5012) and S_ADS_NOMORE_COLUMNS (0x5013).

#include <string>
#include <vector>

#include "directory/ds/value.h"
#include "platform/hresult.h"

namespace tessary::ds {

// ADS_SCOPEENUM.
enum class SearchScope : int { kBase = 0, kOneLevel = 1, kSubtree = 2 };

struct SearchRequest {
  std::string filter = "(objectClass=*)";  // RFC 4515; an empty filter means the same
  std::vector<std::string> columns;        // empty: every attribute of each row
  SearchScope scope = SearchScope::kSubtree;
  int page_size = 0;  // rows per page fetched from the directory; 0: the backend's default
};

// A search in progress. Rows are fetched one page at a time as the caller walks them; the caller
// may stop at any row. Destroying the cursor closes the search (CloseSearchHandle).
class SearchCursor {
 public:
  virtual ~SearchCursor() = default;

  // Move to the first / next row: S_OK, S_ADS_NOMORE_ROWS at the end, or the failure of the
  // directory (the page could not be fetched).
  [[nodiscard]] virtual HRESULT GetFirstRow() = 0;
  [[nodiscard]] virtual HRESULT GetNextRow() = 0;
  // The next column name of the current row: S_OK, S_ADS_NOMORE_COLUMNS after the last one.
  // The walk restarts at every row.
  [[nodiscard]] virtual HRESULT GetNextColumnName(std::string* name) = 0;
  // The values of one column of the current row; E_ADS_COLUMN_NOT_SET when the row has none.
  [[nodiscard]] virtual HRESULT GetColumn(const std::string& name, Attribute* column) = 0;
};

}  // namespace tessary::ds
