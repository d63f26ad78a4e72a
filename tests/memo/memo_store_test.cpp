// The item changes of the memo program, shared by its window and its command line.

#include "memo/memo_store.h"

#include <gtest/gtest.h>

#include "memo/memo_actions.h"
#include "memo/memo_schema.h"
#include "notavo_process.h"
#include "support/temp_dir.h"

namespace plumo {
namespace {

constexpr DateTime kSecond = 1.0 / 86400.0;

std::unique_ptr<MemoDatabase> createAndOpen(const std::filesystem::path& file) {
    createMemoDatabase(file);
    return MemoDatabase::open(file);
}

class MemoStoreTest : public ::testing::Test {
protected:
    std::string column(const char* name, std::int64_t id) {
        return raw->rows("select " + std::string(name) + " from log where id=" + std::to_string(id))
            .at(0);
    }

    test::TempDir dir;
    std::unique_ptr<MemoDatabase> database = createAndOpen(dir / "d.ini");
    std::unique_ptr<test::RawConnection> raw = std::make_unique<test::RawConnection>(dir / "d.ini");
    MemoStore store{*database};
};

TEST_F(MemoStoreTest, RemindersAreStoredAsWholeSeconds) {
    const DateTime at = encodeDateTime(2026, 12, 7, 14, 30, 0);
    const std::int64_t added = store.add({"买牛奶", at + 0.4 * kSecond, false});
    EXPECT_EQ(raw->scalarDouble("select reminder from log where id=" + std::to_string(added)), at);
    // The companion announces it in its second.
    const auto due = findDueItem(database->query(), at);
    ASSERT_TRUE(due);
    EXPECT_EQ(due->id, added);

    ASSERT_TRUE(store.edit(added, "买豆浆", at - 0.6 * kSecond));
    EXPECT_EQ(raw->scalarDouble("select reminder from log where id=" + std::to_string(added)),
              encodeDateTime(2026, 12, 7, 14, 29, 59));
    ASSERT_TRUE(store.edit(added, "买豆浆", std::nullopt));
    EXPECT_EQ(column("reminder", added), "null | ");

    const std::int64_t undated = store.add({"写周报", std::nullopt, true});
    const auto found = store.find(undated);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->title, "写周报");
    EXPECT_TRUE(found->plan);
    EXPECT_FALSE(found->done);
    EXPECT_FALSE(found->reminder);
    EXPECT_FALSE(store.find(undated + 1));
}

TEST_F(MemoStoreTest, AChangeWritesOnlyTheFieldsTheUserChanged) {
    const DateTime at = encodeDateTime(2026, 12, 7, 14, 30, 0);
    const ItemInput opened{"买牛奶", at, false};
    const std::int64_t id = store.add(opened);
    // The companion postpones the item while the edit is open.
    raw->exec("update log set reminder=reminder+1,status=1 where id=" + std::to_string(id));

    ItemInput typed = opened;
    typed.title = "买豆浆";
    typed.reminder = at + 0.3 * kSecond;  // the same second
    const ItemChange titleOnly = changeBetween(opened, typed);
    EXPECT_TRUE(titleOnly.title);
    EXPECT_FALSE(titleOnly.reminder);
    EXPECT_FALSE(titleOnly.plan);
    ASSERT_TRUE(store.change(id, titleOnly));
    auto stored = store.find(id);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->title, "买豆浆");
    EXPECT_EQ(stored->reminder, at + 1) << "the postponement is kept";
    EXPECT_TRUE(stored->done);

    typed.reminder = std::nullopt;
    typed.plan = true;
    ASSERT_TRUE(store.change(id, changeBetween(opened, typed)));
    stored = store.find(id);
    EXPECT_FALSE(stored->reminder);
    EXPECT_TRUE(stored->plan);
    EXPECT_EQ(stored->title, "买豆浆");

    EXPECT_TRUE(store.change(id, ItemChange{})) << "nothing to write, but the item is there";
    EXPECT_FALSE(store.change(id + 1, ItemChange{}));
    EXPECT_FALSE(store.change(id + 1, changeBetween(opened, typed)));
}

TEST_F(MemoStoreTest, EachChangeTellsAMissingItemAndPostponeOneWithoutReminder) {
    const DateTime at = encodeDateTime(2026, 12, 7, 9, 0, 0);
    const std::int64_t dated = store.add({"交电费", at, false});
    const std::int64_t undated = store.add({"写周报", std::nullopt, true});
    const std::int64_t missing = undated + 100;

    const PostponeResult moved = store.postpone(dated);
    EXPECT_EQ(moved.outcome, PostponeOutcome::Postponed);
    EXPECT_EQ(formatIsoDateTime(moved.reminder), "2026-12-08 09:00:00");
    EXPECT_TRUE(findDueItem(database->query(), encodeDateTime(2026, 12, 8, 9, 0, 0)));
    EXPECT_EQ(store.postpone(undated).outcome, PostponeOutcome::NoReminder);
    EXPECT_EQ(column("reminder", undated), "null | ");
    EXPECT_EQ(store.postpone(missing).outcome, PostponeOutcome::NoSuchItem);

    EXPECT_TRUE(store.close(dated));
    EXPECT_EQ(column("status", dated), "integer 1 | ");
    EXPECT_TRUE(store.reopen(dated));
    EXPECT_EQ(column("status", dated), "integer 0 | ");
    EXPECT_FALSE(store.close(missing));
    EXPECT_FALSE(store.reopen(missing));
    EXPECT_FALSE(store.edit(missing, "x", std::nullopt));
    EXPECT_TRUE(store.remove(undated));
    EXPECT_FALSE(store.remove(undated));
    EXPECT_EQ(raw->scalarInt("select count(*) from log"), 1);
}

TEST_F(MemoStoreTest, ListsOpenItemsByReminderUndatedLastThenDoneOnes) {
    const DateTime at = encodeDateTime(2026, 12, 7, 9, 0, 0);
    const std::int64_t undated = store.add({"a", std::nullopt, false});
    const std::int64_t later = store.add({"b", at + 1, false});
    const std::int64_t doneEarly = store.add({"c", at - 1, false});
    const std::int64_t tie = store.add({"d", at, false});
    const std::int64_t tieAddedLater = store.add({"e", at, false});
    ASSERT_TRUE(store.close(doneEarly));
    raw->exec("update log set title=null where id=" + std::to_string(tieAddedLater));
    std::vector<std::int64_t> ids;
    for (const MemoItem& item : store.list()) ids.push_back(item.id);
    EXPECT_EQ(ids, (std::vector<std::int64_t>{tie, tieAddedLater, later, undated, doneEarly}));
    const auto untitled = store.find(tieAddedLater);
    ASSERT_TRUE(untitled);
    EXPECT_TRUE(untitled->titleIsNull);
    EXPECT_EQ(untitled->title, "");
}

TEST_F(MemoStoreTest, AnIdIsNeverGivenTwiceNotEvenAfterTheNewestItemIsDeleted) {
    const std::int64_t first = store.add({"a", std::nullopt, false});
    const std::int64_t newest = store.add({"b", std::nullopt, false});
    ASSERT_TRUE(store.remove(newest));
    const std::int64_t next = store.add({"c", std::nullopt, false});
    EXPECT_GT(next, newest);
    EXPECT_GT(newest, first);
    EXPECT_TRUE(idsNeverReused(*database));
}

}  // namespace
}  // namespace plumo
