#include "memo/memo_schema.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "memo/jet_dialect.h"
#include "memo/memo_database.h"
#include "memo/memo_errors.h"
#include "memo/sqlite_statement.h"

namespace plumo {
namespace {

// AUTOINCREMENT: an id stays taken after its item is deleted, so that an id still held
// by a hand-off file or the companion's answer menu never names a newer item.
constexpr std::string_view kLogColumns =
    "(id INTEGER PRIMARY KEY AUTOINCREMENT, title TEXT, flag INTEGER DEFAULT 0,\n"
    "                 status INTEGER DEFAULT 0, reminder REAL)";
constexpr std::string_view kLogIndex = "log_status_reminder ON log(status, reminder)";

std::string schema() {
    return "PRAGMA journal_mode=WAL;\nBEGIN;\nCREATE TABLE log" + std::string(kLogColumns) +
           ";\nCREATE INDEX " + std::string(kLogIndex) +
           ";\nCREATE TABLE master(pwd TEXT, created TEXT);\n" + "COMMIT;\n";
}

std::string errnoText() { return std::strerror(errno); }

// Why an older file is not brought over, in words for the message that names it.
struct ConversionRefused {
    std::string reason;
};

bool isNameCharacter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '_' || c == '$' || u >= 0x80;
}

// True when `sql` holds `word` (any letter case) standing on its own.
bool holdsWord(std::string_view sql, std::string_view word) {
    for (std::size_t at = 0; at + word.size() <= sql.size(); ++at) {
        if (!equalsIgnoringCase(sql.substr(at, word.size()), word)) continue;
        const std::size_t after = at + word.size();
        if ((at == 0 || !isNameCharacter(sql[at - 1])) &&
            (after == sql.size() || !isNameCharacter(sql[after])))
            return true;
    }
    return false;
}

bool logNeverReusesIds(sqlite3* db) {
    SqliteStatement select(
        db, "select sql from sqlite_master where type='table' and name='log' collate nocase");
    return select.step() && holdsWord(select.text(0), "AUTOINCREMENT");
}

// The log table holds the five columns and no other, with id the integer primary key
// that names each row.
void checkLogColumns(sqlite3* db) {
    static constexpr std::string_view kColumns[] = {"id", "title", "flag", "status", "reminder"};
    SqliteStatement info(db, "pragma table_info(log)");
    int ours = 0;
    int others = 0;
    int keyColumns = 0;
    bool idIsKey = false;
    while (info.step()) {
        const std::string name = info.text(1);
        const std::int64_t keyPosition = info.integer(5);
        if (keyPosition != 0) ++keyColumns;
        if (std::none_of(std::begin(kColumns), std::end(kColumns), [&](std::string_view column) {
                return equalsIgnoringCase(name, column);
            })) {
            ++others;
            continue;
        }
        ++ours;
        if (equalsIgnoringCase(name, "id"))
            idIsKey = keyPosition == 1 && equalsIgnoringCase(info.text(2), "INTEGER");
    }
    if (ours != 5 || others != 0)
        throw ConversionRefused{
            "its log table has columns other than id, title, flag, status and reminder"};
    if (!idIsKey || keyColumns != 1)
        throw ConversionRefused{"the id of its log table is not an integer primary key"};
}

// Every row of the old table is in the new one with the same values of the same types.
bool sameRows(sqlite3* db) {
    SqliteStatement differing(
        db,
        "select (select count(*) from log) <> (select count(*) from log_new) or exists("
        "select 1 from log o left join log_new n on n.id = o.id where n.id is null"
        " or typeof(n.title) <> typeof(o.title) or n.title is not o.title"
        " or typeof(n.flag) <> typeof(o.flag) or n.flag is not o.flag"
        " or typeof(n.status) <> typeof(o.status) or n.status is not o.status"
        " or typeof(n.reminder) <> typeof(o.reminder) or n.reminder is not o.reminder)");
    return differing.step() && differing.integer(0) == 0;
}

// Inside a write transaction: a new log table with AUTOINCREMENT takes every row and the
// old one's place, and the next id follows the largest one.
void bringLogOver(sqlite3* db) {
    checkLogColumns(db);
    std::vector<std::string> attached;  // its indexes and triggers, made again on the new one
    {
        SqliteStatement select(db,
                               "select sql from sqlite_master where type in ('index','trigger') "
                               "and tbl_name='log' collate nocase and sql is not null "
                               "order by type='trigger', rowid");
        while (select.step()) attached.push_back(select.text(0));
    }
    executeSql(db, "CREATE TABLE log_new" + std::string(kLogColumns));
    executeSql(db,
               "INSERT INTO log_new(id,title,flag,status,reminder) "
               "SELECT id,title,flag,status,reminder FROM log ORDER BY id");
    if (!sameRows(db))
        throw ConversionRefused{"its items would not keep their values and types in the new table"};
    executeSql(db, "DROP TABLE log");
    // The legacy rename leaves views and other tables' triggers that name log alone; they
    // name the new table once it is called log.
    executeSql(db, "PRAGMA legacy_alter_table=ON");
    try {
        executeSql(db, "ALTER TABLE log_new RENAME TO log");
    } catch (const DatabaseError&) {
        sqlite3_exec(db, "PRAGMA legacy_alter_table=OFF", nullptr, nullptr, nullptr);
        throw;
    }
    executeSql(db, "PRAGMA legacy_alter_table=OFF");
    executeSql(db, "DELETE FROM sqlite_sequence WHERE lower(name) IN ('log','log_new')");
    executeSql(db,
               "INSERT INTO sqlite_sequence(name,seq) SELECT 'log', coalesce(max(id),0) FROM log");
    for (const std::string& sql : attached) executeSql(db, sql);
    executeSql(db, "CREATE INDEX IF NOT EXISTS " + std::string(kLogIndex));
    if (!logNeverReusesIds(db)) throw ConversionRefused{"the new log table was not made as asked"};
}

}  // namespace

void createMemoDatabase(const std::filesystem::path& file) {
    const std::string shown = file.string();
    std::error_code ec;
    if (std::filesystem::symlink_status(file, ec).type() != std::filesystem::file_type::not_found)
        throw DatabaseError(shown + " already exists; it was left untouched");

    // Built under a temporary name and then linked into place, which fails rather than
    // replace a file that appeared meanwhile.
    std::string temporary = shown + ".new-XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) throw DatabaseError("Cannot create " + shown + ": " + errnoText());
    // mkstemp makes the file private (0600), as a file that may hold a password should be.
    ::close(fd);
    auto removeTemporary = [&] {
        ::unlink(temporary.c_str());
        ::unlink((temporary + "-wal").c_str());
        ::unlink((temporary + "-shm").c_str());
    };

    sqlite3* db = nullptr;
    std::string error;
    if (sqlite3_open_v2(temporary.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        error = db ? sqlite3_errmsg(db) : "out of memory";
    } else {
        char* message = nullptr;
        if (sqlite3_exec(db, schema().c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
            error = message ? message : sqlite3_errmsg(db);
            sqlite3_free(message);
        }
    }
    if (sqlite3_close(db) != SQLITE_OK && error.empty()) error = "the file could not be closed";
    if (!error.empty()) {
        removeTemporary();
        throw DatabaseError("Cannot create " + shown + ": " + error);
    }
    if (::link(temporary.c_str(), shown.c_str()) != 0) {
        const bool existed = errno == EEXIST;
        const std::string reason = errnoText();
        removeTemporary();
        if (existed) throw DatabaseError(shown + " already exists; it was left untouched");
        throw DatabaseError("Cannot create " + shown + ": " + reason);
    }
    removeTemporary();
}

bool idsNeverReused(MemoDatabase& database) { return logNeverReusesIds(database.connection()); }

void ensureIdsNeverReused(MemoDatabase& database) {
    sqlite3* db = database.connection();
    try {
        if (logNeverReusesIds(db)) return;
        checkLogColumns(db);  // before waiting for the write lock
        executeSql(db, "BEGIN IMMEDIATE");
        try {
            // Another memo program may have brought it over meanwhile.
            if (!logNeverReusesIds(db)) bringLogOver(db);
            executeSql(db, "COMMIT");
        } catch (...) {
            if (!sqlite3_get_autocommit(db))
                sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    } catch (const ConversionRefused& refused) {
        throw IdConversionError(database.file(), refused.reason);
    } catch (const DatabaseBusyError& e) {
        throw IdConversionError(database.file(),
                                std::string("another program kept it locked (") + e.what() + ")");
    } catch (const DatabaseError& e) {
        throw IdConversionError(database.file(), e.what());
    }
}

}  // namespace plumo
