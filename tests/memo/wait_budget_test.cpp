// A wait budget bounds how long statements wait for another program's lock, and its end
// gives the connection back its usual wait.

#include <gtest/gtest.h>

#include <chrono>

#include "memo/memo_actions.h"
#include "memo/memo_database.h"
#include "memo/memo_errors.h"
#include "memo/memo_schema.h"
#include "notavo_process.h"
#include "support/fake_wait_clock.h"
#include "support/temp_dir.h"

namespace plumo {
namespace {

using std::chrono::milliseconds;

TEST(WaitBudget, GivesUpWhenSpentAndTheUsualWaitReturnsWithItsEnd) {
    test::TempDir dir;
    const auto file = dir / "d.ini";
    createMemoDatabase(file);
    test::RawConnection other(file);
    const std::int64_t id = other.addItem("开会", 0, 0, encodeDateTime(2026, 12, 7, 10, 0, 0));
    const auto database = MemoDatabase::open(file);
    test::FakeWaitClock clock;
    database->setWaitClock(&clock);

    // The other program writes in a transaction of its own; the file is in WAL mode, so
    // only a write has to wait for it.
    other.exec("begin exclusive");
    other.exec("update log set title='开会（三楼）' where id=" + std::to_string(id));
    {
        auto budget = database->waitAtMost(milliseconds(100));
        EXPECT_THROW(closeItem(database->query(), id), DatabaseBusyError);
        EXPECT_EQ(clock.slept(), milliseconds(100));
        // Spent: the next statement gives up without waiting.
        EXPECT_THROW(postponeItem(database->query(), id), DatabaseBusyError);
        EXPECT_EQ(clock.slept(), milliseconds(100));
    }
    {
        // Counted from its making, not from the statement's start.
        auto budget = database->waitAtMost(milliseconds(100));
        clock.sleep(milliseconds(30));
        EXPECT_THROW(closeItem(database->query(), id), DatabaseBusyError);
        EXPECT_EQ(clock.slept(), milliseconds(200));
    }

    // Without a budget a statement waits as long as usual: the other program commits
    // after half a second of waiting, and the statement goes through.
    clock.after(milliseconds(700), [&] { other.exec("commit"); });
    closeItem(database->query(), id);
    EXPECT_EQ(clock.slept(), milliseconds(700));
    EXPECT_EQ(other.scalarInt("select status from log where id=" + std::to_string(id)), 1);
    EXPECT_EQ(other.scalarText("select title from log where id=" + std::to_string(id)),
              "开会（三楼）");
}

}  // namespace
}  // namespace plumo
