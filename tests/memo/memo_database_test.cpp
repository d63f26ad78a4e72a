#include "memo/memo_database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <set>
#include <vector>

#include "memo/jet_dialect.h"
#include "memo/memo_actions.h"
#include "memo/memo_errors.h"
#include "memo/memo_statements.h"
#include "notavo_process.h"
#include "support/temp_dir.h"

namespace plumo {
namespace {

using test::kNoReminder;

class MemoDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::initMemoDatabase(file());
        database = MemoDatabase::open(file());
        raw = std::make_unique<test::RawConnection>(file());
    }
    std::filesystem::path file() const { return dir / "d.ini"; }
    MemoQuery& query() { return database->query(); }

    test::TempDir dir;
    std::unique_ptr<MemoDatabase> database;
    std::unique_ptr<test::RawConnection> raw;
};

// A function, not a constant: the date-time helpers are not usable during static initialisation.
DateTime now14h30() { return encodeDateTime(2026, 12, 7, 14, 30, 0); }
constexpr double kSecond = 1.0 / 86400.0;

// --- the query object -------------------------------------------------------------------

TEST_F(MemoDatabaseTest, QueryKeepsTheLineWithCrLfAndReadsFieldsByNameInAnyCase) {
    raw->addItem("one", 1, 0, kNoReminder);
    query().clear();
    query().setText(countOpenPlansStatement());
    EXPECT_EQ(query().text(), countOpenPlansStatement() + "\r\n");
    query().open();
    ASSERT_FALSE(query().eof());
    EXPECT_EQ(query().field("total").asInteger(), 1);
    EXPECT_EQ(query().field("TOTAL").asString(), "1");
    EXPECT_THROW(query().field("count"), DatabaseError);
    query().clear();
    EXPECT_TRUE(query().text().empty());
    EXPECT_TRUE(query().eof());
    EXPECT_THROW(query().field("total"), DatabaseError);
}

TEST_F(MemoDatabaseTest, OpeningAStatementWithoutResultIsAnError) {
    raw->addItem("one", 0, 0, kNoReminder);
    query().clear();
    query().setText("update log set status=1");
    EXPECT_THROW(query().open(), DatabaseError);
    EXPECT_EQ(raw->scalarInt("select status from log"), 0);
}

TEST_F(MemoDatabaseTest, FieldsConvertBetweenTypesAndRefuseNullAndNonNumbers) {
    query().clear();
    query().setText("select 12 as i, 2.5 as d, \"34\" as t, \"x\" as bad, null as n");
    query().open();
    EXPECT_EQ(query().field("i").asString(), "12");
    EXPECT_EQ(query().field("i").asFloat(), 12.0);
    EXPECT_EQ(query().field("d").asFloat(), 2.5);
    EXPECT_EQ(query().field("t").asInteger(), 34);
    EXPECT_THROW(query().field("bad").asInteger(), ConversionError);
    EXPECT_THROW(query().field("bad").asFloat(), ConversionError);
    EXPECT_TRUE(query().field("n").isNull());
    EXPECT_THROW(query().field("n").asString(), ConversionError);
    EXPECT_THROW(query().field("n").asInteger(), ConversionError);
    EXPECT_THROW(query().field("n").asFloat(), ConversionError);
}

TEST_F(MemoDatabaseTest, AFailedStatementCarriesTheEngineTextAndTheNextStartsAfresh) {
    raw->addItem("plan", 1, 0, kNoReminder);
    query().clear();
    query().setText("select title from nowhere");
    try {
        query().open();
        FAIL() << "the statement ran";
    } catch (const DatabaseError& e) {
        EXPECT_STREQ(e.what(), "no such table: nowhere");
    }
    EXPECT_EQ(countOpenPlans(query()), 1);

    raw->exec("drop table master");
    EXPECT_THROW(readStoredPassword(query()), DatabaseError);
    EXPECT_EQ(countOpenPlans(query()), 1);
}

// --- statements 1 to 5 ------------------------------------------------------------------

TEST_F(MemoDatabaseTest, OpenPlansAreOpenItemsFlaggedOne) {
    EXPECT_EQ(countOpenPlans(query()), 0);
    raw->addItem("plan a", 1, 0, kNoReminder);
    raw->addItem("plan b", 1, 0, now14h30());
    raw->addItem("done plan", 1, 1, kNoReminder);
    raw->addItem("item", 0, 0, kNoReminder);
    raw->addItem("other flag", 2, 0, kNoReminder);
    EXPECT_EQ(countOpenPlans(query()), 2);
}

TEST_F(MemoDatabaseTest, OverdueIsOpenWithAReminderStrictlyBeforeTheCurrentSecond) {
    raw->addItem("a second ago", 0, 0, now14h30() - kSecond);
    raw->addItem("last year", 0, 0, now14h30() - 365);
    raw->addItem("a plan yesterday", 1, 0, now14h30() - 1);
    raw->addItem("done yesterday", 0, 1, now14h30() - 1);
    raw->addItem("no reminder", 0, 0, kNoReminder);
    raw->addItem("no reminder either", 1, 0, kNoReminder);
    raw->addItem("this second", 0, 0, now14h30());
    raw->addItem("a second ahead", 0, 0, now14h30() + kSecond);
    EXPECT_EQ(countOverdueReminders(query(), now14h30()), 3);
    // Within the current second the count does not change.
    EXPECT_EQ(countOverdueReminders(query(), now14h30() + 0.999 * kSecond), 3);
    EXPECT_EQ(countOverdueReminders(query(), now14h30() + kSecond), 4);
}

TEST_F(MemoDatabaseTest, DueItemIsFoundOnlyInItsOwnSecondWhileOpen) {
    const auto id = raw->addItem("去开会", 0, 0, now14h30());
    raw->addItem("done", 0, 1, now14h30());
    raw->addItem("later", 0, 0, now14h30() + kSecond);
    EXPECT_FALSE(findDueItem(query(), now14h30() - kSecond));
    const auto due = findDueItem(query(), now14h30());
    ASSERT_TRUE(due);
    EXPECT_EQ(due->id, id);
    EXPECT_EQ(due->title, "去开会");
    // A clock reading inside the second still names that second.
    ASSERT_TRUE(findDueItem(query(), now14h30() + 0.75 * kSecond));
    EXPECT_EQ(findDueItem(query(), now14h30() + 0.75 * kSecond)->id, id);

    closeItem(query(), id);
    EXPECT_EQ(raw->scalarInt("select status from log where id=" + std::to_string(id)), 1);
    EXPECT_FALSE(findDueItem(query(), now14h30()));
}

// The due-item statement is prepared once and run again every second with its new time.
TEST_F(MemoDatabaseTest, AKeptStatementHoldsNoReadAndFollowsChangesMadeBetweenItsRuns) {
    raw->addItem("一", 0, 0, now14h30());
    ASSERT_TRUE(findDueItem(query(), now14h30()));
    // No read stays open: another program writes without waiting for the companion.
    sqlite3_busy_timeout(raw->get(), 0);
    raw->exec("begin immediate; create table added(x); commit");
    const auto second = raw->addItem("二", 0, 0, now14h30() + kSecond);
    const auto due = findDueItem(query(), now14h30() + kSecond);
    ASSERT_TRUE(due);
    EXPECT_EQ(due->id, second);
    EXPECT_FALSE(findDueItem(query(), now14h30() + 2 * kSecond));
}

TEST_F(MemoDatabaseTest, SeveralDueItemsInOneSecondGiveTheFirstRow) {
    const auto a = raw->addItem("first", 0, 0, now14h30());
    const auto b = raw->addItem("second", 0, 0, now14h30());
    const auto due = findDueItem(query(), now14h30());
    ASSERT_TRUE(due);
    EXPECT_TRUE(due->id == a || due->id == b);
    EXPECT_EQ(due->title, due->id == a ? "first" : "second");
}

TEST_F(MemoDatabaseTest, EmptyTitleIsAnnouncedAndNullTitleFailsAsConversion) {
    const auto empty = raw->addItem("", 0, 0, now14h30());
    ASSERT_TRUE(findDueItem(query(), now14h30()));
    EXPECT_EQ(findDueItem(query(), now14h30())->title, "");
    closeItem(query(), empty);
    raw->addItem(nullptr, 0, 0, now14h30());
    EXPECT_THROW(findDueItem(query(), now14h30()), ConversionError);
}

TEST_F(MemoDatabaseTest, ClosingTouchesOnlyTheNamedItem) {
    const auto a = raw->addItem("a", 0, 0, now14h30());
    const auto b = raw->addItem("b", 1, 0, now14h30());
    closeItem(query(), b);
    EXPECT_EQ(raw->scalarInt("select status from log where id=" + std::to_string(a)), 0);
    EXPECT_EQ(raw->scalarInt("select status from log where id=" + std::to_string(b)), 1);
    EXPECT_EQ(raw->scalarInt("select flag from log where id=" + std::to_string(b)), 1);
    closeItem(query(), 999);  // no such item: nothing happens
    EXPECT_EQ(raw->scalarInt("select sum(status) from log"), 1);
}

TEST_F(MemoDatabaseTest, PostponingMovesOneDayAndKeepsTheTimeOfDay) {
    const DateTime lateEvening = encodeDateTime(2026, 12, 31, 23, 59, 59);
    const auto id = raw->addItem("year end", 0, 0, lateEvening);
    const auto other = raw->addItem("other", 0, 0, now14h30());
    postponeItem(query(), id);
    const DateTime moved =
        raw->scalarDouble("select reminder from log where id=" + std::to_string(id));
    EXPECT_EQ(decodeDate(moved), (DateParts{2027, 1, 1}));
    EXPECT_EQ(decodeTime(moved), (TimeParts{23, 59, 59, 0}));
    EXPECT_EQ(raw->scalarInt("select status from log where id=" + std::to_string(id)), 0);
    EXPECT_EQ(raw->scalarDouble("select reminder from log where id=" + std::to_string(other)),
              now14h30());
    EXPECT_FALSE(findDueItem(query(), lateEvening));
    ASSERT_TRUE(findDueItem(query(), encodeDateTime(2027, 1, 1, 23, 59, 59)));

    const auto undated = raw->addItem("undated", 0, 0, kNoReminder);
    postponeItem(query(), undated);
    EXPECT_EQ(raw->scalarText("select reminder from log where id=" + std::to_string(undated)),
              "<null>");
}

TEST_F(MemoDatabaseTest, DueAndOverdueQueriesSearchTheIndexInsteadOfEveryRow) {
    for (const std::string& jet :
         {dueItemStatement(now14h30()), countOverdueRemindersStatement(now14h30())}) {
        sqlite3_stmt* explain = nullptr;
        const std::string sql = "explain query plan " + translateJetStatement(jet);
        ASSERT_EQ(sqlite3_prepare_v2(raw->get(), sql.c_str(), -1, &explain, nullptr), SQLITE_OK);
        std::string details;
        while (sqlite3_step(explain) == SQLITE_ROW)
            details += reinterpret_cast<const char*>(sqlite3_column_text(explain, 3));
        sqlite3_finalize(explain);
        EXPECT_NE(details.find("INDEX log_status_reminder (status=? AND reminder"),
                  std::string::npos)
            << jet << ": " << details;
    }
}

// Every second of a day matches exactly its own item, and again after each item has been
// postponed through the statement: equality to the second holds for stored values and for
// values a day later, including across a change of floating-point exponent (day 32768).
class EverySecondTest : public MemoDatabaseTest, public ::testing::WithParamInterface<DateTime> {};

TEST_P(EverySecondTest, DueQueryMatchesEachSecondOfTheDayAndOfTheDayAfter) {
    const DateTime day = GetParam();
    std::vector<std::int64_t> ids(86400);
    raw->exec("begin");
    for (int s = 0; s < 86400; ++s)
        ids[s] = raw->addItem(("item " + std::to_string(s)).c_str(), 0, 0,
                              encodeDateTime(decodeDate(day).year, decodeDate(day).month,
                                             decodeDate(day).day, s / 3600, s / 60 % 60, s % 60));
    raw->exec("commit");

    auto sweep = [&](DateTime start, const char* label) {
        const DateParts d = decodeDate(start);
        for (int s = 0; s < 86400; ++s) {
            const DateTime now =
                encodeDateTime(d.year, d.month, d.day, s / 3600, s / 60 % 60, s % 60, 500);
            query().clear();
            query().setText(
                "select count(id) as total, min(id) as low from log where status=0 and "
                "reminder=#" +
                formatStatementTime(now) + "#");
            query().open();
            ASSERT_EQ(query().field("total").asInteger(), 1) << label << " second " << s;
            ASSERT_EQ(query().field("low").asInteger(), ids[s]) << label << " second " << s;
        }
        const auto due = findDueItem(query(), encodeDateTime(d.year, d.month, d.day, 12, 34, 56));
        ASSERT_TRUE(due);
        EXPECT_EQ(due->id, ids[12 * 3600 + 34 * 60 + 56]);
    };
    sweep(day, "same day");

    // One transaction around the 86,400 postponements only to keep the test quick.
    query().clear();
    query().setText("begin");
    query().execute();
    for (const auto id : ids) postponeItem(query(), id);
    query().clear();
    query().setText("commit");
    query().execute();
    sweep(day + 1, "a day later");
    EXPECT_EQ(countOverdueReminders(query(), day + 1), 0);
    EXPECT_EQ(countOverdueReminders(query(), day + 2), 86400);
}

INSTANTIATE_TEST_SUITE_P(Days, EverySecondTest,
                         ::testing::Values(46363.0 /* 2026-12-07 */, 32767.0));

// --- statements 6 to 9: the memo password ------------------------------------------------

TEST_F(MemoDatabaseTest, StoredPasswordIsTheFirstRowAndEmptyMeansNone) {
    EXPECT_EQ(readStoredPassword(query()), "");
    raw->exec("insert into master(pwd,created) values('', 'x')");
    EXPECT_EQ(readStoredPassword(query()), "");
    raw->exec("delete from master");
    raw->exec("insert into master(pwd,created) values('first','a'),('second','b')");
    EXPECT_EQ(readStoredPassword(query()), "first");
    raw->exec("delete from master");
    raw->exec("insert into master(pwd,created) values(null,'a')");
    EXPECT_THROW(readStoredPassword(query()), ConversionError);
}

TEST_F(MemoDatabaseTest, ChangingRewritesEveryRowAndRemovingEmptiesTheTable) {
    raw->exec("insert into master(pwd,created) values('first','a'),('second','b')");
    changePassword(query(), "newpass", now14h30());
    EXPECT_EQ(raw->scalarInt("select count(*) from master"), 2);
    EXPECT_EQ(raw->scalarInt("select count(*) from master where pwd='newpass' and "
                             "created='2026-12-7 14:30:00'"),
              2);
    removePassword(query());
    EXPECT_EQ(raw->scalarInt("select count(*) from master"), 0);
    EXPECT_EQ(readStoredPassword(query()), "");
}

const char* const kAwkwardPasswords[] = {
    "abcd",
    "a\"b",
    "\"",
    "\"\"",
    "it's",
    "#1#",
    "a;b",
    "--x",
    "/*",
    "密码测试",
    "密\"码'#;--",
    "a\",created=\"x",
    "x'); delete from log; --",
    "2011-05-03 14::07::09",
    " spaced ",
};

TEST_F(MemoDatabaseTest, AnyPasswordIsStoredVerbatimAndTouchesNoOtherColumn) {
    const auto item = raw->addItem("keep me", 1, 0, now14h30());
    for (const char* password : kAwkwardPasswords) {
        SCOPED_TRACE(password);
        removePassword(query());
        insertPassword(query(), password, now14h30());
        EXPECT_EQ(raw->scalarInt("select count(*) from master"), 1);
        EXPECT_EQ(raw->scalarText("select pwd from master"), password);
        EXPECT_EQ(raw->scalarText("select created from master"), "2026-12-7 14:30:00");
        EXPECT_EQ(readStoredPassword(query()), password);

        raw->exec("insert into master(pwd,created) values('other','old')");
        changePassword(query(), password, now14h30() + 1);
        EXPECT_EQ(raw->scalarInt("select count(*) from master"), 2);
        EXPECT_EQ(raw->scalarInt("select count(distinct pwd) from master"), 1);
        EXPECT_EQ(raw->scalarInt("select count(distinct created) from master"), 1);
        EXPECT_EQ(raw->scalarText("select pwd from master"), password);
        EXPECT_EQ(raw->scalarText("select created from master"), "2026-12-8 14:30:00");
        EXPECT_EQ(readStoredPassword(query()), password);
    }
    EXPECT_EQ(raw->scalarInt("select count(*) from log"), 1);
    EXPECT_EQ(raw->scalarText("select title from log where id=" + std::to_string(item)), "keep me");
    EXPECT_EQ(raw->scalarInt("select status from log"), 0);
}

}  // namespace
}  // namespace plumo
