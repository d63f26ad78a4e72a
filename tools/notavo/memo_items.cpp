#include "memo_items.h"

#include <cmath>

#include "memo/memo_errors.h"

namespace plumo::notavo {
namespace {

class Statement {
public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK)
            throw DatabaseError(sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, std::int64_t value) {
        sqlite3_bind_int64(stmt_, index, value);
        return *this;
    }
    Statement& bind(int index, const std::string& value) {
        sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    Statement& bind(int index, std::optional<DateTime> value) {
        if (value)
            sqlite3_bind_double(stmt_, index, wholeSecond(*value));
        else
            sqlite3_bind_null(stmt_, index);
        return *this;
    }
    bool step() {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        throw DatabaseError(sqlite3_errmsg(db_));
    }
    // Runs a statement that changes rows; true when it changed one.
    bool change() {
        while (step()) {
        }
        return sqlite3_changes(db_) > 0;
    }
    sqlite3_stmt* get() const { return stmt_; }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

std::string text(sqlite3_stmt* stmt, int column) {
    const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return value ? std::string(value, static_cast<std::size_t>(sqlite3_column_bytes(stmt, column)))
                 : std::string();
}

}  // namespace

std::vector<MemoItem> MemoItems::list() const {
    Statement select(db_,
                     "select id,title,flag,status,reminder from log "
                     "order by status<>0, reminder is null, reminder, id");
    std::vector<MemoItem> items;
    while (select.step()) {
        sqlite3_stmt* s = select.get();
        MemoItem item;
        item.id = sqlite3_column_int64(s, 0);
        item.title = text(s, 1);
        item.plan = sqlite3_column_int64(s, 2) == 1;
        item.done = sqlite3_column_int64(s, 3) != 0;
        if (sqlite3_column_type(s, 4) != SQLITE_NULL) item.reminder = sqlite3_column_double(s, 4);
        items.push_back(std::move(item));
    }
    return items;
}

std::int64_t MemoItems::add(const ItemInput& input) {
    Statement insert(db_, "insert into log(title,flag,status,reminder) values(?1,?2,0,?3)");
    insert.bind(1, input.title).bind(2, std::int64_t{input.plan ? 1 : 0}).bind(3, input.reminder);
    insert.change();
    return sqlite3_last_insert_rowid(db_);
}

bool MemoItems::edit(std::int64_t id, const std::string& title, std::optional<DateTime> reminder) {
    Statement update(db_, "update log set title=?1,reminder=?2 where id=?3");
    return update.bind(1, title).bind(2, reminder).bind(3, id).change();
}

bool MemoItems::setDone(std::int64_t id, bool done) {
    Statement update(db_, "update log set status=?1 where id=?2");
    return update.bind(1, std::int64_t{done ? 1 : 0}).bind(2, id).change();
}

bool MemoItems::remove(std::int64_t id) {
    Statement remove(db_, "delete from log where id=?1");
    return remove.bind(1, id).change();
}

bool MemoItems::postpone(std::int64_t id) {
    Statement update(db_,
                     "update log set reminder=reminder+1 where id=?1 and reminder is not null");
    return update.bind(1, id).change();
}

std::string MemoItems::password() const {
    Statement select(db_, "select pwd from master");
    return select.step() ? text(select.get(), 0) : std::string();
}

std::int64_t MemoItems::dataVersion() const {
    Statement pragma(db_, "pragma data_version");
    return pragma.step() ? sqlite3_column_int64(pragma.get(), 0) : 0;
}

}  // namespace plumo::notavo
