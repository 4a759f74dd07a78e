#include "directory/ds/embedded/sqlite.h"

#include <cstdio>

#include <sqlite3.h>

namespace tessary::ds::embedded {

Statement::~Statement() { sqlite3_finalize(statement_); }

void Statement::BindInt(int index, std::int64_t value) {
  sqlite3_bind_int64(statement_, index, value);
}

void Statement::BindText(int index, std::string_view text) {
  sqlite3_bind_text64(statement_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void Statement::BindBlob(int index, std::span<const std::uint8_t> bytes) {
  static const std::uint8_t kEmpty = 0;
  sqlite3_bind_blob64(statement_, index, bytes.empty() ? &kEmpty : bytes.data(), bytes.size(),
                      SQLITE_TRANSIENT);
}

void Statement::BindNull(int index) { sqlite3_bind_null(statement_, index); }

Statement::Step Statement::Next() {
  int rc = sqlite3_step(statement_);
  if (rc == SQLITE_ROW) return Step::kRow;
  if (rc == SQLITE_DONE) return Step::kDone;
  return Step::kError;
}

bool Statement::Execute() {
  Step step = Next();
  Reset();
  return step == Step::kDone;
}

void Statement::Reset() {
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
}

std::int64_t Statement::Int(int column) const { return sqlite3_column_int64(statement_, column); }

std::string_view Statement::Text(int column) const {
  const unsigned char* text = sqlite3_column_text(statement_, column);
  if (text == nullptr) return {};
  return {reinterpret_cast<const char*>(text),
          static_cast<std::size_t>(sqlite3_column_bytes(statement_, column))};
}

std::span<const std::uint8_t> Statement::Blob(int column) const {
  const void* blob = sqlite3_column_blob(statement_, column);
  if (blob == nullptr) return {};
  return {static_cast<const std::uint8_t*>(blob),
          static_cast<std::size_t>(sqlite3_column_bytes(statement_, column))};
}

bool Statement::IsNull(int column) const {
  return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

Database::~Database() {
  statements_.clear();
  sqlite3_close_v2(handle_);
}

bool Database::Open(const std::string& path, Mode mode, std::unique_ptr<Database>* database,
                    std::string* error) {
  int flags = SQLITE_OPEN_FULLMUTEX;
  switch (mode) {
    case Mode::kReadOnly:
      flags |= SQLITE_OPEN_READONLY;
      break;
    case Mode::kReadWrite:
      flags |= SQLITE_OPEN_READWRITE;
      break;
    case Mode::kCreate:
      flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
      break;
  }
  sqlite3* handle = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &handle, flags, nullptr);
  if (rc != SQLITE_OK) {
    *error = handle != nullptr ? sqlite3_errmsg(handle) : sqlite3_errstr(rc);
    sqlite3_close_v2(handle);
    return false;
  }
  sqlite3_busy_timeout(handle, 10000);
  sqlite3_extended_result_codes(handle, 0);
  database->reset(new Database(handle));
  return true;
}

bool Database::BackupTo(const std::string& path, std::string* error) {
  std::unique_ptr<Database> copy;
  if (!Open(path, Mode::kCreate, &copy, error)) return false;
  sqlite3_backup* backup = sqlite3_backup_init(copy->handle_, "main", handle_, "main");
  int rc = backup != nullptr ? sqlite3_backup_step(backup, -1) : sqlite3_errcode(copy->handle_);
  if (backup != nullptr) {
    const int finished = sqlite3_backup_finish(backup);
    if (rc == SQLITE_DONE) rc = finished;
  }
  if (rc == SQLITE_OK || rc == SQLITE_DONE) return true;
  *error = sqlite3_errmsg(copy->handle_);
  copy.reset();
  std::remove(path.c_str());
  return false;
}

bool Database::Exec(const std::string& sql) {
  return sqlite3_exec(handle_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

Statement* Database::Prepare(const char* sql) {
  auto found = statements_.find(sql);
  if (found != statements_.end()) return found->second.get();
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v3(handle_, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) !=
      SQLITE_OK) {
    return nullptr;
  }
  return statements_.emplace(sql, std::make_unique<Statement>(statement)).first->second.get();
}

std::string Database::LastError() const { return sqlite3_errmsg(handle_); }

int Database::LastErrorCode() const { return sqlite3_errcode(handle_); }

std::int64_t Database::LastInsertId() const { return sqlite3_last_insert_rowid(handle_); }

bool Database::InTransaction() const { return sqlite3_get_autocommit(handle_) == 0; }

Transaction::Transaction(Database& database) : database_(database) {
  nested_ = database_.InTransaction();
  ok_ = nested_ || database_.Exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
  if (ok_ && !done_ && !nested_) (void)database_.Exec("ROLLBACK");
}

bool Transaction::Commit() {
  if (!ok_ || done_) return false;
  done_ = nested_ || database_.Exec("COMMIT");
  return done_;
}

}  // namespace tessary::ds::embedded
