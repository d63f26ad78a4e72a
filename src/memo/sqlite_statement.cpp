#include "memo/sqlite_statement.h"

#include <sqlite3.h>

#include <cctype>

#include "memo/memo_errors.h"

namespace plumo {

void throwEngineError(sqlite3* connection, int code) {
    const std::string message = connection ? sqlite3_errmsg(connection) : sqlite3_errstr(code);
    const int primary = code & 0xff;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) throw DatabaseBusyError(message);
    throw DatabaseError(message);
}

void executeSql(sqlite3* connection, std::string_view sql) {
    const std::string text(sql);
    const int rc = sqlite3_exec(connection, text.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) throwEngineError(connection, rc);
}

SqliteStatement::SqliteStatement(sqlite3* connection, std::string_view sql) : db_(connection) {
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt_, &tail);
    if (rc != SQLITE_OK) throwEngineError(db_, rc);
    if (!stmt_) throw DatabaseError("Invalid SQL statement: the statement is empty.");
    for (const char* end = sql.data() + sql.size(); tail && tail < end; ++tail) {
        if (!std::isspace(static_cast<unsigned char>(*tail))) {
            sqlite3_finalize(stmt_);
            throw DatabaseError("Characters found after end of SQL statement.");
        }
    }
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(stmt_); }

SqliteStatement& SqliteStatement::bindInteger(int index, std::int64_t value) {
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
}

SqliteStatement& SqliteStatement::bindReal(int index, double value) {
    sqlite3_bind_double(stmt_, index, value);
    return *this;
}

SqliteStatement& SqliteStatement::bindText(int index, std::string_view value) {
    sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
    return *this;
}

SqliteStatement& SqliteStatement::bindNull(int index) {
    sqlite3_bind_null(stmt_, index);
    return *this;
}

bool SqliteStatement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    throwEngineError(db_, rc);
}

void SqliteStatement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

void SqliteStatement::run() {
    while (step()) {
    }
}

std::int64_t SqliteStatement::changes() const { return sqlite3_changes64(db_); }

int SqliteStatement::columnCount() const { return sqlite3_column_count(stmt_); }

std::string SqliteStatement::columnName(int column) const {
    const char* name = sqlite3_column_name(stmt_, column);
    return name ? name : "";
}

bool SqliteStatement::isNull(int column) const { return columnType(column) == SQLITE_NULL; }

int SqliteStatement::columnType(int column) const { return sqlite3_column_type(stmt_, column); }

std::int64_t SqliteStatement::integer(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

double SqliteStatement::real(int column) const { return sqlite3_column_double(stmt_, column); }

std::string SqliteStatement::text(int column) const {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
    return bytes ? std::string(bytes, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
                 : std::string();
}

}  // namespace plumo
