#include "calendar/date_cn.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>

#include "base/date_time.h"

namespace plumo::DateCn {
namespace {

int codeOf(int year, int month, int day) { return LunarDateCode(encodeDate(year, month, day)); }

constexpr DateTime kFirstDay = kFirstDate;
constexpr DateTime kLastDay = kLastDate;

TEST(LunarDateCode, RangeEndsAndOutsideTheRange) {
    EXPECT_EQ(kFirstDate, encodeDate(1901, 1, 1));
    EXPECT_EQ(kLastDate, encodeDate(2050, 12, 31));
    EXPECT_EQ(codeOf(1901, 1, 1), 1111);
    EXPECT_EQ(codeOf(2050, 12, 31), 1118);
    EXPECT_EQ(codeOf(1900, 12, 31), 0);
    EXPECT_EQ(codeOf(1900, 6, 15), 0);
    EXPECT_EQ(codeOf(2051, 1, 1), 0);
    EXPECT_EQ(codeOf(2051, 12, 31), 0);
    EXPECT_EQ(LunarDateCode(0.0), 0);
    EXPECT_EQ(LunarDateCode(-1e300), 0);
    EXPECT_EQ(LunarDateCode(1e300), 0);
    EXPECT_EQ(LunarDateCode(std::numeric_limits<double>::quiet_NaN()), 0);
    // Names of a date without a lunar date are empty.
    EXPECT_EQ(CnMonthOfDate(encodeDate(2051, 1, 1)), "");
    EXPECT_EQ(CnDayOfDate(encodeDate(2051, 1, 1)), "");
    EXPECT_EQ(CnMonthOfDate(encodeDate(1900, 12, 31)), "");
}

TEST(LunarDateCode, OnlyTheDatePartCounts) {
    const DateTime day = encodeDate(2011, 5, 12);
    EXPECT_EQ(LunarDateCode(day + 0.999), 410);
    // A value a hair below midnight is that midnight, as decodeDate() rounds it.
    EXPECT_EQ(decodeDate(day - 1e-10), (DateParts{2011, 5, 12}));
    EXPECT_EQ(LunarDateCode(day - 1e-10), 410);
    EXPECT_EQ(LunarDateCode(kFirstDate - 1e-10), 1111);
    EXPECT_EQ(LunarDateCode(encodeDateTime(2050, 12, 31, 23, 59, 59)), 1118);
    EXPECT_EQ(LunarDateCode(encodeDateTime(1901, 1, 1, 0, 0, 1)), 1111);
}

TEST(LunarDateCode, WorkedExampleOf2011) {
    // 1 January 2011 is 冬月廿七; 12 May 2011 is 四月初十; 31 December 2011 腊月初七.
    EXPECT_EQ(codeOf(2011, 1, 1), 1127);
    EXPECT_EQ(codeOf(2011, 5, 12), 410);
    EXPECT_EQ(CnMonthOfDate(encodeDate(2011, 5, 12)), "四月");
    EXPECT_EQ(CnDayOfDate(encodeDate(2011, 5, 12)), "初十");
    EXPECT_EQ(codeOf(2011, 12, 31), 1207);
    EXPECT_EQ(CnMonthOfDate(encodeDate(2011, 12, 31)), "腊月");
    EXPECT_EQ(CnMonthOfDate(encodeDate(2011, 1, 1)), "冬月");
    EXPECT_EQ(CnDayOfDate(encodeDate(2011, 1, 1)), "廿七");
}

TEST(LunarDateCode, LunarNewYearDays) {
    const DateParts newYears[] = {{1901, 2, 19}, {1984, 2, 2},  {2011, 2, 3}, {2012, 1, 23},
                                  {2020, 1, 25}, {2023, 1, 22}, {2050, 1, 23}};
    for (const DateParts& p : newYears) {
        const DateTime day = encodeDate(p.year, p.month, p.day);
        EXPECT_EQ(LunarDateCode(day), 101) << formatIsoDate(day);
        EXPECT_EQ(CnMonthOfDate(day), "正月") << formatIsoDate(day);
        EXPECT_EQ(CnDayOfDate(day), "初一") << formatIsoDate(day);
        const int eve = LunarDateCode(day - 1);
        EXPECT_EQ(std::abs(eve) / 100, 12) << formatIsoDate(day);
        EXPECT_GE(std::abs(eve) % 100, 29) << formatIsoDate(day);
    }
}

TEST(LunarDateCode, LeapMonths) {
    EXPECT_EQ(codeOf(2020, 5, 23), -401);
    EXPECT_EQ(CnMonthOfDate(encodeDate(2020, 5, 23)), "闰四");
    EXPECT_EQ(CnDayOfDate(encodeDate(2020, 5, 23)), "初一");
    EXPECT_EQ(codeOf(2020, 5, 22), 430);
    EXPECT_EQ(codeOf(2020, 6, 20), -429);
    EXPECT_EQ(codeOf(2020, 6, 21), 501);
    EXPECT_EQ(CnMonthOfDate(encodeDate(2020, 6, 21)), "五月");
    EXPECT_EQ(codeOf(2023, 3, 22), -201);
    EXPECT_EQ(CnMonthOfDate(encodeDate(2023, 3, 22)), "闰二");
}

TEST(LunarDateCode, LeapMonthSpanningNewYearsDay2034) {
    EXPECT_EQ(codeOf(2033, 12, 21), 1130);
    EXPECT_EQ(codeOf(2033, 12, 22), -1101);
    EXPECT_EQ(codeOf(2033, 12, 31), -1110);
    EXPECT_EQ(codeOf(2034, 1, 1), -1111);
    EXPECT_EQ(CnMonthOfDate(encodeDate(2034, 1, 1)), "闰冬");
    EXPECT_EQ(CnDayOfDate(encodeDate(2034, 1, 1)), "十一");
    EXPECT_EQ(codeOf(2034, 1, 19), -1129);
    EXPECT_EQ(codeOf(2034, 1, 20), 1201);
    EXPECT_EQ(CnMonthOfDate(encodeDate(2034, 1, 20)), "腊月");
}

TEST(LunarDateCode, CorrectedMonthsFollowTheNewMoons) {
    // 七月初一 is 2 August 1989: 六月 has 30 days, 七月 29.
    EXPECT_EQ(codeOf(1989, 7, 3), 601);
    EXPECT_EQ(codeOf(1989, 8, 1), 630);
    EXPECT_EQ(codeOf(1989, 8, 2), 701);
    EXPECT_EQ(codeOf(1989, 8, 30), 729);
    EXPECT_EQ(codeOf(1989, 8, 31), 801);
    // 五月初一 is 8 June 2013: 四月 has 29 days, 五月 30.
    EXPECT_EQ(codeOf(2013, 5, 10), 401);
    EXPECT_EQ(codeOf(2013, 6, 7), 429);
    EXPECT_EQ(codeOf(2013, 6, 8), 501);
    EXPECT_EQ(codeOf(2013, 6, 12), 505);
    EXPECT_EQ(codeOf(2013, 7, 7), 530);
    EXPECT_EQ(codeOf(2013, 7, 8), 601);
}

TEST(CnNames, EveryMonthAndDayName) {
    const char* const months[] = {"正月", "二月", "三月", "四月", "五月", "六月",
                                  "七月", "八月", "九月", "十月", "冬月", "腊月"};
    const char* const days[] = {"初一", "初二", "初三", "初四", "初五", "初六", "初七", "初八",
                                "初九", "初十", "十一", "十二", "十三", "十四", "十五", "十六",
                                "十七", "十八", "十九", "二十", "廿一", "廿二", "廿三", "廿四",
                                "廿五", "廿六", "廿七", "廿八", "廿九", "三十"};
    // 2011 has no leap month: walk from 正月初一 through the year and name every day.
    const DateTime newYear = encodeDate(2011, 2, 3);
    for (DateTime day = newYear; day < encodeDate(2012, 1, 23); day += 1) {
        const int code = LunarDateCode(day);
        ASSERT_GT(code, 0);
        EXPECT_EQ(CnMonthOfDate(day), months[code / 100 - 1]) << formatIsoDate(day);
        EXPECT_EQ(CnDayOfDate(day), days[code % 100 - 1]) << formatIsoDate(day);
    }
}

TEST(DayOfYear, AgreesWithTheDateHelpers) {
    EXPECT_EQ(DayOfYear(encodeDate(2011, 1, 1)), 1);
    EXPECT_EQ(DayOfYear(encodeDate(2011, 5, 12)), 132);
    EXPECT_EQ(DayOfYear(encodeDate(2011, 12, 31)), 365);
    EXPECT_EQ(DayOfYear(encodeDate(2012, 12, 31)), 366);
    EXPECT_EQ(DayOfYear(encodeDate(2000, 3, 1)), 61);
    EXPECT_EQ(DayOfYear(encodeDate(1900, 3, 1)), 60);
    for (DateTime day = kFirstDay; day <= kLastDay; day += 1)
        ASSERT_EQ(DayOfYear(day), dayOfYear(day)) << formatIsoDate(day);
}

// Over the whole range every day follows its predecessor: the next day of the same month,
// or day 1 of the following month after a month of 29 or 30 days; months follow in order,
// a leap month repeating the number of the month before it.
TEST(LunarDateCode, WholeRangeIsConsecutive) {
    int previous = LunarDateCode(kFirstDay);
    int leapMonths = 0;
    for (DateTime day = kFirstDay + 1; day <= kLastDay; day += 1) {
        const int code = LunarDateCode(day);
        ASSERT_NE(code, 0) << formatIsoDate(day);
        const int month = code / 100, dayNumber = std::abs(code) % 100;
        const int previousMonth = previous / 100, previousDay = std::abs(previous) % 100;
        if (dayNumber == previousDay + 1) {
            ASSERT_EQ(month, previousMonth) << formatIsoDate(day);
        } else {
            ASSERT_EQ(dayNumber, 1) << formatIsoDate(day);
            ASSERT_TRUE(previousDay == 29 || previousDay == 30) << formatIsoDate(day);
            if (month < 0) {
                ++leapMonths;
                ASSERT_EQ(-month, previousMonth) << formatIsoDate(day);
            } else {
                ASSERT_EQ(month, std::abs(previousMonth) % 12 + 1) << formatIsoDate(day);
            }
        }
        ASSERT_LE(dayNumber, 30);
        previous = code;
    }
    EXPECT_EQ(leapMonths, 55);
}

}  // namespace
}  // namespace plumo::DateCn
