// Repeating items in the memo file: rolled forward when closed, as the companion and the
// memo program both do.

#include "memo/repeat_store.h"

#include <gtest/gtest.h>

#include "memo/memo_actions.h"
#include "memo/memo_schema.h"
#include "memo/memo_store.h"
#include "memo/sqlite_statement.h"
#include "support/temp_dir.h"

namespace plumo {
namespace {

DateTime at(int year, int month, int day, int hour, int minute, int second = 0) {
    return encodeDateTime(year, month, day, hour, minute, second);
}

std::unique_ptr<MemoDatabase> createAndOpen(const std::filesystem::path& file) {
    createMemoDatabase(file);
    return MemoDatabase::open(file);
}

class RepeatStoreTest : public ::testing::Test {
protected:
    std::int64_t addRepeating(DateTime reminder, RepeatRule rule) {
        ensureRepeatTable(*database);
        const std::int64_t id = store.add({"交房租", reminder, false});
        EXPECT_TRUE(setRepeatRule(*database, id, rule));
        return id;
    }
    std::int64_t count(const std::string& sql) {
        SqliteStatement select(database->connection(), sql);
        return select.step() ? select.integer(0) : -1;
    }

    test::TempDir dir;
    std::unique_ptr<MemoDatabase> database = createAndOpen(dir / "d.ini");
    MemoStore store{*database};
};

TEST_F(RepeatStoreTest, ClosingRollsForwardFromTheAnchorWhateverThePostponements) {
    const std::int64_t id = addRepeating(at(2026, 1, 31, 8, 0), RepeatRule::Monthly);
    closeItem(database->query(), id);  // the companion's close
    RollOutcome rolled = rollForward(*database, id, at(2026, 1, 31, 8, 5));
    EXPECT_TRUE(rolled.repeating);
    EXPECT_EQ(rolled.next, at(2026, 2, 28, 8, 0));
    auto item = store.find(id);
    ASSERT_TRUE(item);
    EXPECT_FALSE(item->done);
    EXPECT_EQ(item->reminder, at(2026, 2, 28, 8, 0));
    // The companion finds it in its second.
    const auto due = findDueItem(database->query(), at(2026, 2, 28, 8, 0));
    ASSERT_TRUE(due);
    EXPECT_EQ(due->id, id);

    // Postponed a day and closed the day after: back on the 31st, the anchor kept.
    postponeItem(database->query(), id);
    EXPECT_EQ(store.find(id)->reminder, at(2026, 3, 1, 8, 0));
    EXPECT_EQ(findRepeatSeries(*database, id)->occurrence, at(2026, 2, 28, 8, 0));
    closeItem(database->query(), id);
    rolled = rollForward(*database, id, at(2026, 3, 1, 8, 1));
    EXPECT_EQ(rolled.next, at(2026, 3, 31, 8, 0));
    const auto series = findRepeatSeries(*database, id);
    ASSERT_TRUE(series);
    EXPECT_EQ(series->rule, RepeatRule::Monthly);
    EXPECT_EQ(series->anchor, at(2026, 1, 31, 8, 0));
    EXPECT_EQ(series->occurrence, at(2026, 3, 31, 8, 0));

    // An open item is left alone.
    rolled = rollForward(*database, id, at(2026, 5, 1, 0, 0));
    EXPECT_TRUE(rolled.repeating);
    EXPECT_EQ(store.find(id)->reminder, at(2026, 3, 31, 8, 0));
    EXPECT_EQ(findRepeatSeries(*database, id)->occurrence, at(2026, 3, 31, 8, 0));
}

TEST_F(RepeatStoreTest, MissedOccurrencesAreNotPiledUpAndSnoozeMovesOnlyThisOne) {
    const std::int64_t id = addRepeating(at(2026, 3, 2, 7, 30), RepeatRule::Daily);
    ASSERT_TRUE(snoozeItem(*database, id, at(2026, 3, 2, 7, 40) + 0.3 / 86400));
    EXPECT_EQ(store.find(id)->reminder, at(2026, 3, 2, 7, 40));
    EXPECT_FALSE(snoozeItem(*database, id + 1, at(2026, 3, 2, 7, 40)));
    ASSERT_TRUE(store.close(id));
    // Closed ten days late: the next one after now, once.
    const RollOutcome rolled = rollForward(*database, id, at(2026, 3, 12, 9, 0));
    EXPECT_EQ(rolled.next, at(2026, 3, 13, 7, 30));
    EXPECT_EQ(count("select count(*) from log"), 1);
    // The rule gone, the reminder stays.
    EXPECT_TRUE(clearRepeatRule(*database, id));
    EXPECT_FALSE(clearRepeatRule(*database, id));
    EXPECT_EQ(store.find(id)->reminder, at(2026, 3, 13, 7, 30));
    ASSERT_TRUE(store.close(id));
    EXPECT_FALSE(rollForward(*database, id, at(2026, 3, 14, 0, 0)).repeating);
    EXPECT_TRUE(store.find(id)->done);
}

TEST_F(RepeatStoreTest, AnItemClosedBeforeItWasRolledIsRolledWhenTheMemoProgramOpens) {
    const std::int64_t rolled = addRepeating(at(2026, 3, 6, 18, 0), RepeatRule::Workdays);
    const std::int64_t plain = store.add({"寄信", at(2026, 3, 6, 9, 0), false});
    const std::int64_t open = addRepeating(at(2026, 3, 6, 10, 0), RepeatRule::Weekly);
    closeItem(database->query(), rolled);
    closeItem(database->query(), plain);
    database.reset();  // the program ended before it rolled the item on

    database = MemoDatabase::open(dir / "d.ini", IntegrityCheck::Quick);
    MemoStore reopened(*database);
    prepareForMemoProgram(*database, at(2026, 3, 6, 18, 30));
    EXPECT_FALSE(reopened.find(rolled)->done);
    EXPECT_EQ(reopened.find(rolled)->reminder, at(2026, 3, 9, 18, 0));
    EXPECT_TRUE(reopened.find(plain)->done);
    EXPECT_EQ(reopened.find(open)->reminder, at(2026, 3, 6, 10, 0));
    EXPECT_EQ(rollForwardClosed(*database, at(2026, 3, 6, 18, 30)), 0);
    EXPECT_EQ(repeatSeries(*database).size(), 2u);
}

TEST_F(RepeatStoreTest, DeletingAnItemDeletesItsSeriesAndAnEndedSeriesIsForgotten) {
    const std::int64_t deleted = addRepeating(at(2026, 4, 1, 12, 0), RepeatRule::Yearly);
    const std::int64_t lunar = addRepeating(at(2050, 11, 1, 12, 0), RepeatRule::LunarYearly);
    EXPECT_FALSE(
        setRepeatRule(*database, store.add({"无提醒", std::nullopt, false}), RepeatRule::Daily));
    EXPECT_FALSE(setRepeatRule(*database, lunar + 100, RepeatRule::Daily));
    ASSERT_TRUE(store.remove(deleted));
    EXPECT_FALSE(findRepeatSeries(*database, deleted));
    EXPECT_EQ(count("select count(*) from repeat"), 1);

    closeItem(database->query(), lunar);
    const RollOutcome ended = rollForward(*database, lunar, at(2050, 11, 1, 12, 1));
    EXPECT_TRUE(ended.repeating);
    EXPECT_FALSE(ended.next);
    EXPECT_TRUE(store.find(lunar)->done);
    EXPECT_TRUE(repeatSeries(*database).empty());
}

TEST_F(RepeatStoreTest, AFileWithoutTheTableWorksAsBeforeUntilTheMemoProgramAddsIt) {
    const std::int64_t id = store.add({"寄信", at(2026, 3, 6, 9, 0), false});
    closeItem(database->query(), id);
    EXPECT_FALSE(hasRepeatTable(*database));
    EXPECT_TRUE(repeatSeries(*database).empty());
    EXPECT_FALSE(findRepeatSeries(*database, id));
    EXPECT_FALSE(rollForward(*database, id, at(2026, 3, 7, 0, 0)).repeating);
    EXPECT_EQ(rollForwardClosed(*database, at(2026, 3, 7, 0, 0)), 0);
    EXPECT_FALSE(clearRepeatRule(*database, id));
    EXPECT_FALSE(hasRepeatTable(*database));

    prepareForMemoProgram(*database, at(2026, 3, 7, 0, 0));
    EXPECT_TRUE(hasRepeatTable(*database));
    ensureRepeatTable(*database);
    EXPECT_TRUE(store.find(id)->done);
    // The file with the table is still a memo file to every check.
    database.reset();
    database = MemoDatabase::open(dir / "d.ini", IntegrityCheck::Quick);
    EXPECT_TRUE(hasRepeatTable(*database));
    EXPECT_TRUE(idsNeverReused(*database));
}

}  // namespace
}  // namespace plumo
