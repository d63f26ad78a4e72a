#include "memo/memo_schema.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "memo/memo_errors.h"

namespace plumo {
namespace {

constexpr const char* kSchema = R"sql(
PRAGMA journal_mode=WAL;
BEGIN;
CREATE TABLE log(id INTEGER PRIMARY KEY, title TEXT, flag INTEGER DEFAULT 0,
                 status INTEGER DEFAULT 0, reminder REAL);
CREATE INDEX log_status_reminder ON log(status, reminder);
CREATE TABLE master(pwd TEXT, created TEXT);
COMMIT;
)sql";

std::string errnoText() { return std::strerror(errno); }

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
        if (sqlite3_exec(db, kSchema, nullptr, nullptr, &message) != SQLITE_OK) {
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

}  // namespace plumo
