// The memo program writes while the companion runs its statements on the same file.

#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>

#include "memo/memo_actions.h"
#include "memo/memo_database.h"
#include "memo/memo_errors.h"
#include "notavo_process.h"
#include "support/temp_dir.h"

namespace plumo {
namespace {

constexpr int kWriterItems = 400;

// Child process body: adds items in small transactions as fast as it can, each
// transaction also rewriting earlier rows, then exits 0 when all went in.
[[noreturn]] void writeInALoop(const std::filesystem::path& file) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) _exit(3);
    sqlite3_busy_timeout(db, 10000);
    for (int i = 0; i < kWriterItems; i += 4) {
        std::string sql = "begin immediate;";
        for (int k = i; k < i + 4; ++k)
            sql += "insert into log(title,flag,status,reminder) values('writer " +
                   std::to_string(k) + "',0,0,null);";
        sql += "update log set title=title where title like 'writer %'; commit;";
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) _exit(4);
    }
    sqlite3_close(db);
    _exit(0);
}

bool childRunning(pid_t pid, int& status) { return waitpid(pid, &status, WNOHANG) == 0; }

TEST(MemoSharing, StatementsNeverFailWhileAnotherProcessWrites) {
    test::TempDir dir;
    const auto file = dir / "d.ini";
    test::initMemoDatabase(file);
    const DateTime now = encodeDateTime(2026, 12, 7, 9, 0, 0);
    std::int64_t due = 0;
    {
        test::RawConnection raw(file);
        due = raw.addItem("due", 0, 0, now);
        raw.addItem("plan", 1, 0, now - 1);
    }

    const pid_t writer = fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) writeInALoop(file);

    const auto database = MemoDatabase::open(file);
    MemoQuery& q = database->query();
    int rounds = 0;
    int status = 0;
    try {
        // At least a few rounds even if the writer is done before the first one.
        while (childRunning(writer, status) || rounds < 20) {
            EXPECT_EQ(countOpenPlans(q), 1);
            EXPECT_EQ(countOverdueReminders(q, now), 1);
            const auto item = findDueItem(q, now);
            ASSERT_TRUE(item);
            EXPECT_EQ(item->id, due);
            postponeItem(q, due);
            const auto tomorrow = findDueItem(q, now + 1);
            ASSERT_TRUE(tomorrow);
            EXPECT_EQ(tomorrow->id, due);
            // Move it back through the same statement family: close, reopen by hand is not ours.
            q.clear();
            q.setText("update log set reminder=reminder-1 where id=" + std::to_string(due));
            q.execute();
            insertPassword(q, "pw" + std::to_string(rounds), now);
            changePassword(q, "pw\"" + std::to_string(rounds), now);
            EXPECT_EQ(readStoredPassword(q), "pw\"" + std::to_string(rounds));
            removePassword(q);
            ++rounds;
        }
    } catch (const MemoError& e) {
        kill(writer, SIGKILL);
        waitpid(writer, &status, 0);
        FAIL() << "statement failed in round " << rounds << ": " << e.what();
    }
    if (childRunning(writer, status)) waitpid(writer, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the writer failed";

    test::RawConnection raw(file);
    EXPECT_EQ(raw.scalarInt("select count(*) from log where title like 'writer %'"), kWriterItems);
    EXPECT_EQ(raw.scalarDouble("select reminder from log where id=" + std::to_string(due)), now);
    EXPECT_EQ(raw.scalarInt("select count(*) from master"), 0);
}

TEST(MemoSharing, NotavoAddsItemsWhileTheCompanionPolls) {
    test::TempDir dir;
    const auto file = dir / "d.ini";
    test::initMemoDatabase(file);
    const auto database = MemoDatabase::open(file);
    const DateTime at = encodeDateTime(2026, 12, 7, 10, 0, 0);

    const pid_t loop = fork();
    ASSERT_GE(loop, 0);
    if (loop == 0) {
        for (int i = 0; i < 60; ++i) {
            const auto r = test::runNotavo({"--db", file.string(), "add", "n" + std::to_string(i),
                                            "--at", "2026-12-07 10:00:00"});
            if (r.exitStatus != 0) _exit(5);
        }
        _exit(0);
    }
    int status = 0;
    std::int64_t lastCount = 0;
    while (childRunning(loop, status)) {
        const std::int64_t count = countOverdueReminders(database->query(), at + 1);
        EXPECT_GE(count, lastCount);
        lastCount = count;
        findDueItem(database->query(), at);
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(countOverdueReminders(database->query(), at + 1), 60);
}

}  // namespace
}  // namespace plumo
