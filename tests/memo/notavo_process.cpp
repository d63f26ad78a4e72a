#include "notavo_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

extern char** environ;

namespace plumo::test {
namespace {

std::string readWhole(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

ProcessResult runNotavo(const std::vector<std::string>& arguments,
                        const std::filesystem::path& program) {
    const std::string executable = program.empty() ? std::string(NOTAVO_PATH) : program.string();
    TempDir outputs;
    const std::string outFile = (outputs / "out").string();
    const std::string errFile = (outputs / "err").string();

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(executable.c_str()));
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int rc = posix_spawn(&pid, executable.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) throw std::runtime_error("cannot start " + executable);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    ProcessResult result;
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = readWhole(outFile);
    result.err = readWhole(errFile);
    return result;
}

void initMemoDatabase(const std::filesystem::path& file) {
    const ProcessResult r = runNotavo({"--db", file.string(), "--init"});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
}

void makeOldMemoDatabase(const std::filesystem::path& file, const std::string& extraColumn) {
    {
        sqlite3* db = nullptr;
        if (sqlite3_open(file.c_str(), &db) != SQLITE_OK) {
            sqlite3_close(db);
            throw std::runtime_error("cannot create " + file.string());
        }
        sqlite3_close(db);
    }
    RawConnection raw(file);
    raw.exec("PRAGMA journal_mode=WAL");
    raw.exec(
        "CREATE TABLE log(id INTEGER PRIMARY KEY, title TEXT, flag INTEGER DEFAULT 0, "
        "status INTEGER DEFAULT 0, reminder REAL" +
        (extraColumn.empty() ? std::string() : ", " + extraColumn) +
        "); CREATE INDEX log_status_reminder ON log(status, reminder); "
        "CREATE TABLE master(pwd TEXT, created TEXT);");
    raw.exec(
        "INSERT INTO log(id,title,flag,status,reminder) VALUES"
        "(3,'交电费',0,0,46363.375),(4,'写周报',1,0,NULL),(7,NULL,0,1,46364.0000115741),"
        "(9,'带\"引号\"的',1,1,46365.5),(12,x'00ff41',0,0,'明天');"
        "INSERT INTO master(pwd,created) VALUES('abc','2026-12-7 9:30:00');");
}

RawConnection::RawConnection(const std::filesystem::path& file) {
    if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db_);  // a failed open still allocates the handle
        throw std::runtime_error("cannot open " + file.string());
    }
    sqlite3_busy_timeout(db_, 5000);
}

RawConnection::~RawConnection() { sqlite3_close_v2(db_); }

void RawConnection::exec(const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : "?";
        sqlite3_free(message);
        throw std::runtime_error(text + " in: " + sql);
    }
}

std::int64_t RawConnection::addItem(const char* title, int flag, int status, DateTime reminder) {
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db_, "insert into log(title,flag,status,reminder) values(?,?,?,?)", -1, &s,
                       nullptr);
    if (title)
        sqlite3_bind_text(s, 1, title, -1, SQLITE_TRANSIENT);
    else
        sqlite3_bind_null(s, 1);
    sqlite3_bind_int(s, 2, flag);
    sqlite3_bind_int(s, 3, status);
    if (reminder < 0)
        sqlite3_bind_null(s, 4);
    else
        sqlite3_bind_double(s, 4, reminder);
    const int rc = sqlite3_step(s);
    sqlite3_finalize(s);
    if (rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db_));
    return sqlite3_last_insert_rowid(db_);
}

namespace {
template <typename Read>
auto scalar(sqlite3* db, const std::string& sql, Read read) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string(sqlite3_errmsg(db)) + " in: " + sql);
    if (sqlite3_step(s) != SQLITE_ROW) {
        sqlite3_finalize(s);
        throw std::runtime_error("no row from: " + sql);
    }
    auto value = read(s);
    sqlite3_finalize(s);
    return value;
}
}  // namespace

std::int64_t RawConnection::scalarInt(const std::string& sql) {
    return scalar(db_, sql, [](sqlite3_stmt* s) { return sqlite3_column_int64(s, 0); });
}

double RawConnection::scalarDouble(const std::string& sql) {
    return scalar(db_, sql, [](sqlite3_stmt* s) { return sqlite3_column_double(s, 0); });
}

std::string RawConnection::scalarText(const std::string& sql) {
    return scalar(db_, sql, [](sqlite3_stmt* s) -> std::string {
        if (sqlite3_column_type(s, 0) == SQLITE_NULL) return "<null>";
        return std::string(static_cast<const char*>(sqlite3_column_blob(s, 0)),
                           static_cast<std::size_t>(sqlite3_column_bytes(s, 0)));
    });
}

std::vector<std::string> RawConnection::rows(const std::string& sql) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &s, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in: " + sql);
    std::vector<std::string> rows;
    while (sqlite3_step(s) == SQLITE_ROW) {
        std::string row;
        for (int c = 0; c < sqlite3_column_count(s); ++c) {
            char number[64];
            switch (sqlite3_column_type(s, c)) {
                case SQLITE_NULL:
                    row += "null";
                    break;
                case SQLITE_INTEGER:
                    row += "integer " + std::to_string(sqlite3_column_int64(s, c));
                    break;
                case SQLITE_FLOAT:
                    std::snprintf(number, sizeof number, "%a", sqlite3_column_double(s, c));
                    row += std::string("real ") + number;
                    break;
                default: {
                    const bool text = sqlite3_column_type(s, c) == SQLITE_TEXT;
                    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(s, c));
                    row += (text ? "text " : "blob ") +
                           std::string(bytes, static_cast<std::size_t>(sqlite3_column_bytes(s, c)));
                }
            }
            row += " | ";
        }
        rows.push_back(row);
    }
    sqlite3_finalize(s);
    return rows;
}

}  // namespace plumo::test
