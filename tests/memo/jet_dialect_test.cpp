#include "memo/jet_dialect.h"

#include <gtest/gtest.h>

#include <cmath>

#include "memo/memo_errors.h"

namespace plumo {
namespace {

TEST(JetDateLiteral, ReadsDoubledAndSingleSeparators) {
    const DateTime expected = encodeDateTime(2011, 5, 3, 14, 7, 9);
    EXPECT_EQ(parseJetDateLiteral("2011-05-03 14::07::09"), expected);
    EXPECT_EQ(parseJetDateLiteral("2011-05-03 14:07:09"), expected);
    EXPECT_EQ(parseJetDateLiteral("2011-5-3 14:7:9"), expected);
    EXPECT_EQ(parseJetDateLiteral("2011/05/03 14::07::09"), expected);
    EXPECT_EQ(parseJetDateLiteral("2011-05-03"), encodeDate(2011, 5, 3));
    EXPECT_EQ(parseJetDateLiteral("2011-05-03 14::07"), encodeDateTime(2011, 5, 3, 14, 7, 0));
}

TEST(JetDateLiteral, RefusesWhatNamesNoMoment) {
    for (const char* bad : {"", "2011-02-29 00::00::00", "2011-13-01", "2011-05-03 24::00::00",
                            "2011-05-03 14::60::00", "2011-05-03 14::07::60", "2011-05-0314::07",
                            "2011-05/03", "14::07::09", "2011-05-03 14::07::09x", "yesterday"}) {
        EXPECT_THROW(parseJetDateLiteral(bad), DatabaseError) << bad;
    }
}

TEST(JetTranslation, DateComparisonsBecomeBandsAroundTheSecond) {
    const std::string sql = translateJetStatement(
        "select title,id from log where status=0 and reminder=#2011-05-03 "
        "14::07::09#\r\n");
    const double second = std::round(encodeDateTime(2011, 5, 3, 14, 7, 9) * 86400.0);
    char expected[256];
    std::snprintf(expected, sizeof expected,
                  "select title,id from log where status=0 and (reminder>=%.17g AND "
                  "reminder<%.17g) ",
                  (second - 0.5) / 86400.0, (second + 0.5) / 86400.0);
    EXPECT_EQ(sql, expected);
}

TEST(JetTranslation, EachComparisonOperatorAgainstADate) {
    const DateTime d = encodeDateTime(2020, 1, 1, 0, 0, 0);
    const double s = std::round(d * 86400.0);
    char low[32], high[32];
    std::snprintf(low, sizeof low, "%.17g", (s - 0.5) / 86400.0);
    std::snprintf(high, sizeof high, "%.17g", (s + 0.5) / 86400.0);
    const std::string L = low, H = high;
    EXPECT_EQ(translateJetStatement("x<#2020-01-01#"), "x<" + L);
    EXPECT_EQ(translateJetStatement("x<=#2020-01-01#"), "x<" + H);
    EXPECT_EQ(translateJetStatement("x>#2020-01-01#"), "x>=" + H);
    EXPECT_EQ(translateJetStatement("x>=#2020-01-01#"), "x>=" + L);
    EXPECT_EQ(translateJetStatement("x<>#2020-01-01#"), "(x<" + L + " OR x>=" + H + ")");
    EXPECT_EQ(translateJetStatement("x = #2020-01-01#"), "(x>=" + L + " AND x<" + H + ")");
}

TEST(JetTranslation, ALoneDateLiteralBecomesItsDayCount) {
    EXPECT_EQ(translateJetStatement("select #2000-01-01 12::00::00#"), "select 36526.5");
}

TEST(JetTranslation, NullComparisonsBecomeIsNull) {
    EXPECT_EQ(translateJetStatement("a from log where reminder<>null"),
              "a from log where reminder IS NOT NULL");
    EXPECT_EQ(translateJetStatement("where reminder = NULL and x"), "where reminder IS NULL and x");
    EXPECT_EQ(translateJetStatement("where title<>\"null\""), "where title<>'null'");
}

TEST(JetTranslation, DoubleQuotedTextBecomesSqlText) {
    EXPECT_EQ(translateJetStatement("values(\"abc\",\"2011-5-3 14:07:09\")"),
              "values('abc','2011-5-3 14:07:09')");
    EXPECT_EQ(translateJetStatement("pwd=\"a\"\"b\""), "pwd='a\"b'");
    EXPECT_EQ(translateJetStatement("pwd=\"it's\""), "pwd='it''s'");
    EXPECT_EQ(translateJetStatement("pwd=\"#1;--/*x*/\""), "pwd='#1;--/*x*/'");
    EXPECT_EQ(translateJetStatement("pwd=\"\""), "pwd=''");
    EXPECT_EQ(translateJetStatement("pwd=\"密码\""), "pwd='密码'");
    EXPECT_EQ(translateJetStatement("pwd='a\"b'"), "pwd='a\"b'");
}

TEST(JetTranslation, SharedSyntaxPassesThrough) {
    EXPECT_EQ(translateJetStatement("select count(id) as total from log where flag=1 and status=0"),
              "select count(id) as total from log where flag=1 and status=0");
    EXPECT_EQ(translateJetStatement("update log set reminder=reminder+1 where id=5\r\n"),
              "update log set reminder=reminder+1 where id=5 ");
    EXPECT_EQ(translateJetStatement("delete from master;"), "delete from master");
}

TEST(JetTranslation, MinusSignsAndSlashesNeverStartAComment) {
    EXPECT_EQ(translateJetStatement("select 5--3"), "select 5- - 3");
    EXPECT_EQ(translateJetStatement("select 6/*2"), "select 6/ *2");
}

TEST(JetTranslation, QuotesAndDashesInsideANameStayInTheName) {
    EXPECT_EQ(translateJetStatement("select `it's`, [a'b], 'x--y' from log"),
              "select `it's`, [a'b], 'x--y' from log");
    EXPECT_EQ(translateJetStatement("select `'`-'--'"), "select `'`- '--'");
}

TEST(JetTranslation, RefusesBrokenStatementsWithTheReason) {
    auto reason = [](const char* jet) {
        try {
            translateJetStatement(jet);
        } catch (const DatabaseError& e) {
            return std::string(e.what());
        }
        return std::string("translated");
    };
    EXPECT_EQ(reason("update master set pwd=\"abc"),
              "Syntax error in string in query expression 'update master set pwd=\"abc'.");
    EXPECT_EQ(reason("select 'abc"), "Syntax error in string in query expression 'select 'abc'.");
    EXPECT_EQ(reason("where reminder=#2011-05-03 14::07::09"),
              "Syntax error in date in query expression 'where reminder=#2011-05-03 14::07::09'.");
    EXPECT_EQ(reason("where reminder=#2011-02-30#"),
              "Syntax error in date in query expression 'where reminder=#2011-02-30#'.");
    EXPECT_EQ(reason("select `id from log"),
              "Invalid bracketing of name in query expression 'select `id from log'.");
    EXPECT_EQ(reason("delete from master; delete from log"),
              "Characters found after end of SQL statement in query expression "
              "'delete from master; delete from log'.");
}

}  // namespace
}  // namespace plumo
