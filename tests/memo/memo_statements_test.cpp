#include "memo/memo_statements.h"

#include <gtest/gtest.h>

namespace plumo {
namespace {

// Functions, not constants: the date-time helpers are not usable during static initialisation.
DateTime afternoon() { return encodeDateTime(2011, 5, 3, 14, 7, 9); }

TEST(StatementTime, DoublesEverySeparatorOfTheTime) {
    EXPECT_EQ(formatStatementTime(afternoon()), "2011-05-03 14::07::09");
    EXPECT_EQ(formatStatementTime(encodeDateTime(2026, 12, 31, 0, 0, 0)), "2026-12-31 00::00::00");
    EXPECT_EQ(formatStatementTime(encodeDateTime(2026, 1, 2, 23, 59, 59)), "2026-01-02 23::59::59");
}

TEST(StatementTime, DropsTheMillisecondsInsteadOfRoundingUp) {
    EXPECT_EQ(formatStatementTime(encodeDateTime(2011, 5, 3, 14, 7, 9, 999)),
              "2011-05-03 14::07::09");
    EXPECT_EQ(formatStatementTime(encodeDateTime(2011, 5, 3, 23, 59, 59, 999)),
              "2011-05-03 23::59::59");
}

TEST(CreatedTime, ShortDateAndLongTimeOrTheDateAloneAtMidnight) {
    EXPECT_EQ(formatCreatedTime(afternoon()), "2011-5-3 14:07:09");
    EXPECT_EQ(formatCreatedTime(encodeDateTime(2026, 11, 25, 9, 5, 0)), "2026-11-25 9:05:00");
    EXPECT_EQ(formatCreatedTime(encodeDateTime(2026, 11, 25, 0, 0, 0)), "2026-11-25");
    EXPECT_EQ(formatCreatedTime(encodeDateTime(2026, 11, 25, 0, 0, 1)), "2026-11-25 0:00:01");
}

TEST(Statements, TheNineTextsForAFixedClockAndValues) {
    EXPECT_EQ(countOpenPlansStatement(),
              "select count(id) as total from log where flag=1 and status=0");
    EXPECT_EQ(countOverdueRemindersStatement(afternoon()),
              "select count(id) as total from log where status=0 and "
              "reminder<#2011-05-03 14::07::09# and reminder<>null");
    EXPECT_EQ(dueItemStatement(afternoon()),
              "select title,id from log where status=0 and reminder=#2011-05-03 14::07::09#");
    EXPECT_EQ(closeItemStatement(57), "update log set status=1 where id=57");
    EXPECT_EQ(postponeItemStatement(57), "update log set reminder=reminder+1 where id=57");
    EXPECT_EQ(selectPasswordStatement(), "select pwd from master");
    EXPECT_EQ(deletePasswordStatement(), "delete from master");
    EXPECT_EQ(changePasswordStatement("abcd", afternoon()),
              "update master set pwd=\"abcd\",created=\"2011-5-3 14:07:09\"");
    EXPECT_EQ(insertPasswordStatement("abcd", afternoon()),
              "insert into master(pwd,created) values(\"abcd\",\"2011-5-3 14:07:09\")");
}

TEST(Statements, IdsAreSplicedInDecimalWithoutLeadingZeros) {
    EXPECT_EQ(closeItemStatement(7), "update log set status=1 where id=7");
    EXPECT_EQ(postponeItemStatement(1234567890123),
              "update log set reminder=reminder+1 where id=1234567890123");
}

TEST(Statements, PasswordQuotesAreDoubledAndNothingElseChanges) {
    EXPECT_EQ(escapePasswordLiteral("a\"b"), "a\"\"b");
    EXPECT_EQ(escapePasswordLiteral("\"\""), "\"\"\"\"");
    EXPECT_EQ(escapePasswordLiteral("it's #1; --x 密码"), "it's #1; --x 密码");
    EXPECT_EQ(changePasswordStatement("a\",created=\"x", afternoon()),
              "update master set pwd=\"a\"\",created=\"\"x\",created=\"2011-5-3 14:07:09\"");
    EXPECT_EQ(insertPasswordStatement("q\"", encodeDate(2011, 5, 3)),
              "insert into master(pwd,created) values(\"q\"\"\",\"2011-5-3\")");
}

}  // namespace
}  // namespace plumo
