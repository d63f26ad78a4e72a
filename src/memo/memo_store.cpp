#include "memo/memo_store.h"

#include "memo/memo_errors.h"
#include "memo/sqlite_statement.h"

namespace plumo {
namespace {

constexpr const char* kItemColumns = "select id,title,flag,status,reminder from log";

void bindReminder(SqliteStatement& statement, int index, std::optional<DateTime> reminder) {
    if (reminder)
        statement.bindReal(index, wholeSecond(*reminder));
    else
        statement.bindNull(index);
}

// A row of kItemColumns.
MemoItem readItem(const SqliteStatement& row) {
    MemoItem item;
    item.id = row.integer(0);
    item.titleIsNull = row.isNull(1);
    item.title = row.text(1);
    item.plan = row.integer(2) == 1;
    item.done = row.integer(3) != 0;
    if (!row.isNull(4)) item.reminder = row.real(4);
    return item;
}

// Runs a statement that changes rows; true when it changed one.
bool changedAny(SqliteStatement& statement) {
    statement.run();
    return statement.changes() > 0;
}

std::optional<DateTime> inWholeSeconds(std::optional<DateTime> value) {
    if (value) return wholeSecond(*value);
    return std::nullopt;
}

}  // namespace

ItemChange changeBetween(const ItemInput& before, const ItemInput& after) {
    ItemChange change;
    if (after.title != before.title) change.title = after.title;
    if (inWholeSeconds(after.reminder) != inWholeSeconds(before.reminder))
        change.reminder = inWholeSeconds(after.reminder);
    if (after.plan != before.plan) change.plan = after.plan;
    return change;
}

std::vector<MemoItem> MemoStore::list() const {
    SqliteStatement select(
        database_.connection(),
        std::string(kItemColumns) + " order by status<>0, reminder is null, reminder, id");
    std::vector<MemoItem> items;
    while (select.step()) items.push_back(readItem(select));
    return items;
}

std::optional<MemoItem> MemoStore::find(std::int64_t id) const {
    SqliteStatement select(database_.connection(), std::string(kItemColumns) + " where id=?1");
    select.bindInteger(1, id);
    if (!select.step()) return std::nullopt;
    return readItem(select);
}

std::int64_t MemoStore::add(const ItemInput& input) {
    SqliteStatement insert(database_.connection(),
                           "insert into log(title,flag,status,reminder) values(?1,?2,0,?3) "
                           "returning id");
    insert.bindText(1, input.title).bindInteger(2, input.plan ? 1 : 0);
    bindReminder(insert, 3, input.reminder);
    if (!insert.step()) throw DatabaseError("The new item was not stored.");
    const std::int64_t id = insert.integer(0);
    insert.run();
    return id;
}

bool MemoStore::edit(std::int64_t id, const std::string& title, std::optional<DateTime> reminder) {
    SqliteStatement update(database_.connection(),
                           "update log set title=?1,reminder=?2 where id=?3");
    update.bindText(1, title);
    bindReminder(update, 2, reminder);
    update.bindInteger(3, id);
    return changedAny(update);
}

bool MemoStore::change(std::int64_t id, const ItemChange& change) {
    if (change.empty()) return find(id).has_value();
    std::string columns;
    const auto set = [&columns](const char* assignment) {
        if (!columns.empty()) columns += ',';
        columns += assignment;
    };
    if (change.title) set("title=?1");
    if (change.reminder) set("reminder=?2");
    if (change.plan) set("flag=?3");
    SqliteStatement update(database_.connection(), "update log set " + columns + " where id=?4");
    if (change.title) update.bindText(1, *change.title);
    if (change.reminder) bindReminder(update, 2, *change.reminder);
    if (change.plan) update.bindInteger(3, *change.plan ? 1 : 0);
    update.bindInteger(4, id);
    return changedAny(update);
}

bool MemoStore::close(std::int64_t id) { return setStatus(id, 1); }

bool MemoStore::reopen(std::int64_t id) { return setStatus(id, 0); }

bool MemoStore::setStatus(std::int64_t id, std::int64_t status) {
    SqliteStatement update(database_.connection(), "update log set status=?1 where id=?2");
    update.bindInteger(1, status);
    update.bindInteger(2, id);
    return changedAny(update);
}

bool MemoStore::remove(std::int64_t id) {
    SqliteStatement remove(database_.connection(), "delete from log where id=?1");
    remove.bindInteger(1, id);
    return changedAny(remove);
}

PostponeResult MemoStore::postpone(std::int64_t id) {
    SqliteStatement update(
        database_.connection(),
        "update log set reminder=reminder+1 where id=?1 and reminder is not null "
        "returning reminder");
    update.bindInteger(1, id);
    if (update.step()) {
        const DateTime moved = update.real(0);
        update.run();
        return {PostponeOutcome::Postponed, moved};
    }
    return {find(id) ? PostponeOutcome::NoReminder : PostponeOutcome::NoSuchItem};
}

std::string MemoStore::password() const {
    SqliteStatement select(database_.connection(), "select pwd from master");
    return select.step() ? select.text(0) : std::string();
}

std::int64_t MemoStore::dataVersion() const {
    SqliteStatement pragma(database_.connection(), "pragma data_version");
    return pragma.step() ? pragma.integer(0) : 0;
}

}  // namespace plumo
