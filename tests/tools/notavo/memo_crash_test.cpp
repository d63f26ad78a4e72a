// A process killed (SIGKILL) in the middle of its writes never costs a write it reported
// done, never leaves an item half-written and never leaves the file unreadable; the next
// process to open it carries on.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "crash_writes.h"
#include "notavo_process.h"
#include "support/temp_dir.h"

extern char** environ;

namespace plumo {
namespace {

namespace fs = std::filesystem;
using test::crash::Row;

constexpr int kKills = 300;

// The running writer: its reports arrive line by line through a pipe.
class Writer {
public:
    Writer(const fs::path& database, int firstItem, const fs::path& errors) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ends[1], 1);
        posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        const std::string first = std::to_string(firstItem);
        const char* argv[] = {MEMO_CRASH_WRITER_PATH, database.c_str(), first.c_str(), nullptr};
        const int rc = posix_spawn(&pid_, MEMO_CRASH_WRITER_PATH, &actions, nullptr,
                                   const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(ends[1]);
        reports_ = ends[0];
        if (rc != 0) throw std::runtime_error("cannot start the writer");
    }
    ~Writer() { ::close(reports_); }

    // The next complete line, or nothing once the writer has gone.
    std::optional<std::string> nextLine() {
        for (;;) {
            const auto end = pending_.find('\n');
            if (end != std::string::npos) {
                std::string line = pending_.substr(0, end);
                pending_.erase(0, end + 1);
                return line;
            }
            char buffer[4096];
            const ssize_t got = ::read(reports_, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return std::nullopt;
            pending_.append(buffer, static_cast<std::size_t>(got));
        }
    }
    // Kills the writer and returns how it ended (the wait status).
    int kill() {
        ::kill(pid_, SIGKILL);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        return status;
    }

private:
    pid_t pid_ = 0;
    int reports_ = -1;
    std::string pending_;
};

std::string readWhole(const fs::path& file) {
    std::ifstream in(file);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The items in the file by number, opened as a next process would (replaying the log)
// but without copying the log into the file on close, so that the next writer meets
// the file as the crash left it.
std::map<int, Row> itemsInFile(const fs::path& file) {
    test::RawConnection raw(file);
    sqlite3_db_config(raw.get(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    EXPECT_EQ(raw.scalarText("pragma integrity_check"), "ok");
    std::map<int, Row> items;
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(raw.get(), "select title,flag,status,reminder from log", -1, &select,
                       nullptr);
    while (sqlite3_step(select) == SQLITE_ROW) {
        Row row;
        row.title = reinterpret_cast<const char*>(sqlite3_column_text(select, 0));
        row.flag = sqlite3_column_int(select, 1);
        row.status = sqlite3_column_int(select, 2);
        row.reminderSecond = test::crash::secondOf(sqlite3_column_double(select, 3));
        int item = 0;
        EXPECT_EQ(std::sscanf(row.title.c_str(), "item %d", &item), 1) << row.title;
        EXPECT_EQ(items.count(item), 0u) << "item " << item << " written twice";
        items[item] = row;
    }
    sqlite3_finalize(select);
    return items;
}

TEST(MemoCrash, AKilledWriterLosesNoReportedWriteAndLeavesNoHalfWrittenItem) {
    test::TempDir dir;
    const fs::path file = dir / "config" / "d.ini";
    test::initMemoDatabase(file);
    std::mt19937 random(20261208);
    std::map<int, int> reported;  // item -> writes reported done
    int firstItem = 1;
    int reportedWrites = 0;

    for (int kill = 0; kill < kKills && !::testing::Test::HasFailure(); ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill));
        Writer writer(file, firstItem, dir / "errors");
        // A random moment: after some reports, then a little later still.
        const int reportsBeforeKill = std::uniform_int_distribution(0, 6)(random);
        std::optional<std::string> line;
        int inFlight = firstItem;
        auto take = [&](const std::string& report) {
            int item = 0, writes = 0;
            ASSERT_EQ(std::sscanf(report.c_str(), "%d %d", &item, &writes), 2) << report;
            reported[item] = writes;
            inFlight = writes < test::crash::writesOf(item) ? item : item + 1;
            ++reportedWrites;
        };
        for (int i = 0; i < reportsBeforeKill && (line = writer.nextLine()); ++i) take(*line);
        ::usleep(std::uniform_int_distribution(0, 3000)(random));
        const int status = writer.kill();
        while ((line = writer.nextLine())) take(*line);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the writer stopped by itself: " << readWhole(dir / "errors");

        const std::map<int, Row> items = itemsInFile(file);
        for (const auto& [item, row] : items)
            if (!reported.count(item)) reported[item] = 0;
        for (auto& [item, writes] : reported) {
            const auto found = items.find(item);
            const std::optional<Row> actual =
                found == items.end() ? std::nullopt : std::optional(found->second);
            if (actual == test::crash::rowAfter(item, writes)) continue;
            // The write under way when the kill came may have been committed unreported.
            if (item == inFlight && actual == test::crash::rowAfter(item, writes + 1)) {
                ++writes;
                continue;
            }
            ADD_FAILURE() << "item " << item << " after " << writes << " reported writes reads "
                          << (actual ? actual->title + " flag " + std::to_string(actual->flag) +
                                           " status " + std::to_string(actual->status) + " at " +
                                           std::to_string(actual->reminderSecond)
                                     : std::string("absent"));
        }
        firstItem = reported.empty() ? 1 : reported.rbegin()->first + 1;
    }
    // The kills fell among the writes, not only before the first.
    EXPECT_GT(reportedWrites, kKills);
}

}  // namespace
}  // namespace plumo
