#pragma once
// The program's vocabulary for failure codes of the directory, messaging and mailbox layers: each
// table maps codes to the sentence the user reads, with a default for codes it does not know.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace tessary::error_tables {

// One line of a table: every code listed is explained by the same text. Codes are kept as their
// 32-bit pattern, so an HRESULT and its signed form find the same row.
struct Row {
  std::initializer_list<std::uint32_t> codes;
  std::string_view text;
};

class Table {
 public:
  Table(std::span<const Row> rows, std::string_view default_text);

  // The row's text for the code, or the table's default for a code no row lists.
  std::string_view Explain(std::uint32_t code) const;
  // Whether a row lists the code.
  bool Contains(std::uint32_t code) const;

  std::span<const Row> Rows() const { return rows_; }
  std::size_t CodeCount() const { return index_.size(); }
  std::string_view DefaultText() const { return default_text_; }

 private:
  const std::string_view* Find(std::uint32_t code) const;

  std::span<const Row> rows_;
  std::string_view default_text_;
  std::vector<std::pair<std::uint32_t, std::string_view>> index_;  // sorted by code
};

// ADSI HRESULTs, LDAP result codes and the Win32 codes of directory failures.
const Table& Adsi();
// MAPI HRESULTs of the messaging layer.
const Table& Mapi();
// CDO HRESULTs of mailbox creation.
const Table& Cdo();

}  // namespace tessary::error_tables
