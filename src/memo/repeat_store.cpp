#include "memo/repeat_store.h"

#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <vector>

#include "memo/memo_errors.h"
#include "memo/memo_schema.h"
#include "memo/sqlite_statement.h"

namespace plumo {
namespace {

// The row goes with its item: deleting the item deletes the series.
constexpr const char* kCreateRepeatTable =
    "CREATE TABLE repeat(item INTEGER PRIMARY KEY, rule TEXT NOT NULL, anchor REAL NOT NULL, "
    "occurrence REAL NOT NULL)";
constexpr const char* kCreateRepeatTrigger =
    "CREATE TRIGGER repeat_follows_log AFTER DELETE ON log "
    "BEGIN DELETE FROM repeat WHERE item=old.id; END";

// A write transaction taken at once, rolled back unless committed.
class WriteTransaction {
public:
    explicit WriteTransaction(sqlite3* db) : db_(db) { executeSql(db_, "BEGIN IMMEDIATE"); }
    ~WriteTransaction() {
        if (!committed_ && !sqlite3_get_autocommit(db_))
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    void commit() {
        executeSql(db_, "COMMIT");
        committed_ = true;
    }

private:
    sqlite3* db_;
    bool committed_ = false;
};

bool tableExists(sqlite3* db) {
    SqliteStatement select(
        db, "select 1 from sqlite_master where type='table' and name='repeat' collate nocase");
    return select.step();
}

// A row of "select rule,anchor,occurrence"; nullopt for a rule this program does not know.
std::optional<RepeatSeries> readSeries(const SqliteStatement& row, int first) {
    const std::optional<RepeatRule> rule = repeatRuleFromKeyword(row.text(first));
    if (!rule) return std::nullopt;
    return RepeatSeries{*rule, row.real(first + 1), row.real(first + 2)};
}

// Inside a write transaction: rollForward's work.
RollOutcome rollWithin(sqlite3* db, std::int64_t id, DateTime now) {
    SqliteStatement select(db,
                           "select r.rule,r.anchor,r.occurrence,l.status,l.reminder from repeat r "
                           "join log l on l.id=r.item where r.item=?1");
    select.bindInteger(1, id);
    if (!select.step()) return {};
    const std::optional<RepeatSeries> series = readSeries(select, 0);
    if (!series) return {};
    if (select.integer(3) == 0) {  // open: nothing to roll
        RollOutcome outcome{true, std::nullopt};
        if (!select.isNull(4)) outcome.next = select.real(4);
        return outcome;
    }
    const std::optional<DateTime> next =
        nextOccurrence(series->rule, series->anchor, std::max(series->occurrence, now));
    if (!next) {
        SqliteStatement forget(db, "delete from repeat where item=?1");
        forget.bindInteger(1, id).run();
        return {true, std::nullopt};
    }
    const DateTime reminder = wholeSecond(*next);
    SqliteStatement reopen(db, "update log set status=0,reminder=?1 where id=?2");
    reopen.bindReal(1, reminder).bindInteger(2, id).run();
    SqliteStatement advance(db, "update repeat set occurrence=?1 where item=?2");
    advance.bindReal(1, reminder).bindInteger(2, id).run();
    return {true, reminder};
}

}  // namespace

bool hasRepeatTable(MemoDatabase& database) { return tableExists(database.connection()); }

void ensureRepeatTable(MemoDatabase& database) {
    sqlite3* db = database.connection();
    if (tableExists(db)) return;
    WriteTransaction transaction(db);
    // Another memo program may have added it meanwhile.
    if (!tableExists(db)) {
        executeSql(db, kCreateRepeatTable);
        executeSql(db, kCreateRepeatTrigger);
    }
    transaction.commit();
}

void prepareForMemoProgram(MemoDatabase& database, DateTime now) {
    ensureIdsNeverReused(database);
    ensureRepeatTable(database);
    rollForwardClosed(database, now);
}

std::map<std::int64_t, RepeatSeries> repeatSeries(MemoDatabase& database) {
    std::map<std::int64_t, RepeatSeries> all;
    if (!hasRepeatTable(database)) return all;
    SqliteStatement select(database.connection(), "select item,rule,anchor,occurrence from repeat");
    while (select.step())
        if (const auto series = readSeries(select, 1)) all.emplace(select.integer(0), *series);
    return all;
}

std::optional<RepeatSeries> findRepeatSeries(MemoDatabase& database, std::int64_t id) {
    if (!hasRepeatTable(database)) return std::nullopt;
    SqliteStatement select(database.connection(),
                           "select rule,anchor,occurrence from repeat where item=?1");
    select.bindInteger(1, id);
    if (!select.step()) return std::nullopt;
    return readSeries(select, 0);
}

bool setRepeatRule(MemoDatabase& database, std::int64_t id, RepeatRule rule) {
    ensureRepeatTable(database);
    SqliteStatement insert(database.connection(),
                           "insert or replace into repeat(item,rule,anchor,occurrence) "
                           "select id,?1,reminder,reminder from log "
                           "where id=?2 and reminder is not null");
    insert.bindText(1, repeatRuleKeyword(rule)).bindInteger(2, id);
    insert.run();
    return insert.changes() > 0;
}

bool clearRepeatRule(MemoDatabase& database, std::int64_t id) {
    if (!hasRepeatTable(database)) return false;
    SqliteStatement remove(database.connection(), "delete from repeat where item=?1");
    remove.bindInteger(1, id).run();
    return remove.changes() > 0;
}

RollOutcome rollForward(MemoDatabase& database, std::int64_t id, DateTime now) {
    sqlite3* db = database.connection();
    // An item without a rule takes no write lock.
    if (!tableExists(db) || !findRepeatSeries(database, id)) return {};
    WriteTransaction transaction(db);
    const RollOutcome outcome = rollWithin(db, id, now);
    transaction.commit();
    return outcome;
}

int rollForwardClosed(MemoDatabase& database, DateTime now) {
    sqlite3* db = database.connection();
    if (!tableExists(db)) return 0;
    // Most opens find nothing to roll and take no write lock.
    auto closedIds = [db] {
        std::vector<std::int64_t> ids;
        SqliteStatement select(
            db, "select r.item from repeat r join log l on l.id=r.item where l.status<>0");
        while (select.step()) ids.push_back(select.integer(0));
        return ids;
    };
    if (closedIds().empty()) return 0;
    WriteTransaction transaction(db);
    int reopened = 0;
    for (const std::int64_t id : closedIds())
        if (rollWithin(db, id, now).next) ++reopened;
    transaction.commit();
    return reopened;
}

bool snoozeItem(MemoDatabase& database, std::int64_t id, DateTime until) {
    SqliteStatement update(database.connection(), "update log set reminder=?1 where id=?2");
    update.bindReal(1, wholeSecond(until)).bindInteger(2, id).run();
    return update.changes() > 0;
}

}  // namespace plumo
