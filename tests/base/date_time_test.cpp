#include "base/date_time.h"

#include <gtest/gtest.h>

namespace plumo {
namespace {

TEST(DateTime, KnownDayNumbers) {
    EXPECT_EQ(encodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(encodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(encodeDate(1901, 1, 1), 367.0);
    EXPECT_EQ(encodeDate(2000, 1, 1), 36526.0);
    EXPECT_EQ(encodeDate(2050, 12, 31), 55153.0);
    EXPECT_EQ(encodeDateTime(2000, 1, 1, 12, 0, 0), 36526.5);
}

TEST(DateTime, EveryDayOfTheRangeRoundTrips) {
    DateTime expected = encodeDate(1901, 1, 1);
    for (int y = 1901; y <= 2050; ++y)
        for (int m = 1; m <= 12; ++m)
            for (int d = 1; d <= daysInMonth(y, m); ++d) {
                const DateTime v = encodeDate(y, m, d);
                ASSERT_EQ(v, expected) << y << "-" << m << "-" << d;
                ASSERT_EQ(decodeDate(v), (DateParts{y, m, d}));
                expected += 1;
            }
}

TEST(DateTime, EverySecondOfADayRoundTripsExactly) {
    const DateTime day = encodeDate(2026, 12, 7);
    for (int s = 0; s < 86400; ++s) {
        const DateTime v = encodeDateTime(2026, 12, 7, s / 3600, s / 60 % 60, s % 60);
        ASSERT_EQ(dateOf(v), day);
        const TimeParts t = decodeTime(v);
        ASSERT_EQ(t.hour * 3600 + t.minute * 60 + t.second, s);
        ASSERT_EQ(t.millisecond, 0);
        ASSERT_EQ(decodeDate(v), (DateParts{2026, 12, 7}));
    }
}

TEST(DateTime, InvalidDatesAreRefused) {
    EXPECT_FALSE(tryEncodeDate(2023, 2, 29));
    EXPECT_TRUE(tryEncodeDate(2024, 2, 29));
    EXPECT_FALSE(tryEncodeDate(1900, 2, 29));
    EXPECT_TRUE(tryEncodeDate(2000, 2, 29));
    EXPECT_FALSE(tryEncodeDate(2026, 13, 1));
    EXPECT_FALSE(tryEncodeDate(2026, 4, 31));
    EXPECT_FALSE(tryEncodeDateTime(2026, 4, 30, 24, 0, 0));
    EXPECT_THROW(encodeDate(2026, 0, 1), std::invalid_argument);
}

TEST(DateTime, WeekdaysWithSundayFirst) {
    EXPECT_EQ(dayOfWeek(encodeDate(1899, 12, 30)), 7);  // Saturday
    EXPECT_EQ(dayOfWeek(encodeDate(2026, 12, 6)), 1);   // Sunday
    EXPECT_EQ(dayOfWeek(encodeDateTime(2026, 12, 7, 23, 59, 59)), 2);
    EXPECT_EQ(dayOfWeek(encodeDate(1901, 1, 1)), 3);  // Tuesday
}

TEST(DateTime, IsoWeekNumbersAtYearEdges) {
    EXPECT_EQ(isoWeekNumber(encodeDate(2021, 1, 3)), 53);  // Sunday before week 1
    EXPECT_EQ(isoWeekNumber(encodeDate(2021, 1, 4)), 1);
    EXPECT_EQ(isoWeekNumber(encodeDate(2024, 12, 30)), 1);  // belongs to 2025
    EXPECT_EQ(isoWeekNumber(encodeDate(2026, 12, 31)), 53);
    EXPECT_EQ(isoWeekNumber(encodeDate(2027, 1, 1)), 53);
    EXPECT_EQ(isoWeekNumber(encodeDate(2027, 1, 4)), 1);
}

TEST(DateTime, DayOfYearAndMonthLengths) {
    EXPECT_EQ(dayOfYear(encodeDate(2024, 12, 31)), 366);
    EXPECT_EQ(dayOfYear(encodeDate(2023, 12, 31)), 365);
    EXPECT_EQ(dayOfYear(encodeDate(2023, 3, 1)), 60);
    EXPECT_EQ(daysInMonth(2024, 2), 29);
    EXPECT_EQ(daysInMonth(2100, 2), 28);
    EXPECT_EQ(daysInMonth(2026, 13), 0);
}

TEST(DateTime, IsoTextFormsAndParsing) {
    const DateTime v = encodeDateTime(2011, 5, 12, 14, 7, 9);
    EXPECT_EQ(formatIsoDate(v), "2011-05-12");
    EXPECT_EQ(formatIsoDateTime(v), "2011-05-12 14:07:09");
    EXPECT_EQ(parseIsoDateTime("2011-05-12 14:07:09"), v);
    EXPECT_EQ(parseIsoDate("2011-05-12"), encodeDate(2011, 5, 12));
    for (const char* bad : {"2011-5-12", "2011-05-32", "20110512", "2011-05-12x", "abcd-ef-gh", "",
                            "2011-02-29", "+011-05-12"})
        EXPECT_FALSE(parseIsoDate(bad)) << bad;
    for (const char* bad : {"2011-05-12 24:00:00", "2011-05-12 14:7:09", "2011-05-12T14:07:09"})
        EXPECT_FALSE(parseIsoDateTime(bad)) << bad;
}

TEST(DateTime, UnixTimeRoundTripsInLocalTime) {
    const DateTime v = encodeDateTime(2026, 7, 1, 8, 30, 15);
    EXPECT_EQ(fromUnixTime(toUnixTime(v)), v);
}

}  // namespace
}  // namespace plumo
