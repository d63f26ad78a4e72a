#pragma once

// One prepared statement on a memo database connection, finalized when it goes out of
// scope. Every statement of the companion and of the memo program runs through it.
//
//   SqliteStatement update(db, "update log set status=?1 where id=?2");
//   update.bindInteger(1, 1).bindInteger(2, id).run();
//   if (update.changes() == 0) ...
//
// An engine error throws DatabaseError with the engine's text, or DatabaseBusyError when
// another connection held the lock for longer than the connection waits.

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace plumo {

class SqliteStatement {
public:
    // Exactly one statement: text after its end other than blanks is an error.
    SqliteStatement(sqlite3* connection, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    SqliteStatement& bindInteger(int index, std::int64_t value);
    SqliteStatement& bindReal(int index, double value);
    SqliteStatement& bindText(int index, std::string_view value);
    SqliteStatement& bindNull(int index);

    // True while there is a row to read.
    bool step();
    // Steps through to the end, reading nothing.
    void run();
    // Ready to run again from the start, its parameters unbound; ends any read it holds.
    void reset();
    // Rows the last completed insert, update or delete on the connection changed.
    std::int64_t changes() const;

    int columnCount() const;
    std::string columnName(int column) const;
    bool isNull(int column) const;
    // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB or SQLITE_NULL.
    int columnType(int column) const;
    // Each converts as the engine does (Null reads 0 or empty).
    std::int64_t integer(int column) const;
    double real(int column) const;
    std::string text(int column) const;

    sqlite3* connection() const { return db_; }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// Throws the error for the engine result `code` on `connection`: DatabaseBusyError when
// its primary code is SQLITE_BUSY or SQLITE_LOCKED, else DatabaseError. The text is the
// connection's last error message.
[[noreturn]] void throwEngineError(sqlite3* connection, int code);

// Runs one or more statements that return nothing, through the same errors.
void executeSql(sqlite3* connection, std::string_view sql);

}  // namespace plumo
