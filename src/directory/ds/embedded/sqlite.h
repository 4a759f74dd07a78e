#pragma once
// A thin owner of one SQLite connection and its prepared statements, so that sqlite3.h stays in
// sqlite.cc. Statements are prepared once per connection and reused.

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace tessary::ds::embedded {

class Statement {
 public:
  explicit Statement(sqlite3_stmt* statement) : statement_(statement) {}
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  void BindInt(int index, std::int64_t value);
  void BindText(int index, std::string_view text);
  void BindBlob(int index, std::span<const std::uint8_t> bytes);
  void BindNull(int index);

  enum class Step { kRow, kDone, kError };
  Step Next();
  // Next() == kDone with no row; the statement is reset afterwards either way.
  [[nodiscard]] bool Execute();
  void Reset();

  std::int64_t Int(int column) const;
  std::string_view Text(int column) const;
  std::span<const std::uint8_t> Blob(int column) const;
  bool IsNull(int column) const;

 private:
  sqlite3_stmt* statement_;
};

class Database {
 public:
  enum class Mode { kReadOnly, kReadWrite, kCreate };
  ~Database();

  // Opens path; fails with SQLite's own words for why.
  [[nodiscard]] static bool Open(const std::string& path, Mode mode,
                                 std::unique_ptr<Database>* database, std::string* error);

  [[nodiscard]] bool Exec(const std::string& sql);
  // Writes a consistent copy of the whole database into a new file at path (SQLite's online
  // backup); fails with SQLite's words, and then removes what it wrote.
  [[nodiscard]] bool BackupTo(const std::string& path, std::string* error);
  // The statement for sql, prepared on first use (sql must be a string literal: it is the key).
  // Null when it does not prepare; LastError says why.
  Statement* Prepare(const char* sql);
  std::string LastError() const;
  // The SQLite result code of the last failure (SQLITE_CORRUPT, SQLITE_NOTADB, ...).
  int LastErrorCode() const;
  std::int64_t LastInsertId() const;
  // True inside a transaction begun on this connection.
  bool InTransaction() const;

 private:
  explicit Database(sqlite3* handle) : handle_(handle) {}
  sqlite3* handle_;
  std::map<const char*, std::unique_ptr<Statement>> statements_;
};

// One write transaction: committed by Commit(), rolled back when destroyed without it. Inside a
// transaction that is already open it does nothing, so the outer one decides.
class Transaction {
 public:
  explicit Transaction(Database& database);
  ~Transaction();
  [[nodiscard]] bool ok() const { return ok_; }
  [[nodiscard]] bool Commit();

 private:
  Database& database_;
  bool ok_ = false;
  bool done_ = false;
  bool nested_ = false;
};

}  // namespace tessary::ds::embedded
