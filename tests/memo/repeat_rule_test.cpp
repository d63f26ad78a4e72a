// Which dates a repeating reminder falls on.

#include "memo/repeat_rule.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "calendar/date_cn.h"

namespace plumo {
namespace {

constexpr DateTime kSecond = 1.0 / 86400.0;

DateTime at(int year, int month, int day, int hour = 8, int minute = 30, int second = 15) {
    return encodeDateTime(year, month, day, hour, minute, second);
}

// The series' occurrences after the anchor, each the next after the one before.
std::vector<DateTime> following(RepeatRule rule, DateTime anchor, int count) {
    std::vector<DateTime> found;
    DateTime after = anchor;
    for (int i = 0; i < count; ++i) {
        const auto next = nextOccurrence(rule, anchor, after);
        if (!next) break;
        found.push_back(*next);
        after = *next;
    }
    return found;
}

TEST(RepeatRuleTest, KeywordsAndCaptionsNameEachRule) {
    const RepeatRule rules[] = {RepeatRule::Daily,   RepeatRule::Workdays, RepeatRule::Weekly,
                                RepeatRule::Monthly, RepeatRule::Yearly,   RepeatRule::LunarYearly};
    for (const RepeatRule rule : rules)
        EXPECT_EQ(repeatRuleFromKeyword(repeatRuleKeyword(rule)), rule);
    EXPECT_EQ(repeatRuleKeyword(RepeatRule::LunarYearly), "lunar-yearly");
    EXPECT_EQ(repeatRuleCaption(RepeatRule::Workdays), "每个工作日");
    EXPECT_EQ(repeatRuleCaption(RepeatRule::LunarYearly), "每年（农历）");
    EXPECT_FALSE(repeatRuleFromKeyword("Daily"));
    EXPECT_FALSE(repeatRuleFromKeyword(""));
}

TEST(RepeatRuleTest, TheAnchorIsTheFirstOccurrenceAndEachNextIsStrictlyLater) {
    const DateTime anchor = at(2026, 3, 4);
    EXPECT_EQ(nextOccurrence(RepeatRule::Daily, anchor, anchor - 1), anchor);
    EXPECT_EQ(nextOccurrence(RepeatRule::Daily, anchor, anchor), at(2026, 3, 5));
    // Part of a second after an occurrence is after it; part of one before is not.
    EXPECT_EQ(nextOccurrence(RepeatRule::Daily, anchor, at(2026, 3, 5) + 0.4 * kSecond),
              at(2026, 3, 6));
    EXPECT_EQ(nextOccurrence(RepeatRule::Daily, anchor, at(2026, 3, 5) - 0.4 * kSecond),
              at(2026, 3, 5));
    // Years later, at the anchor's time of day, the anchor's weekday for weekly.
    EXPECT_EQ(nextOccurrence(RepeatRule::Daily, anchor, at(2031, 7, 9, 23, 0, 0)), at(2031, 7, 10));
    EXPECT_EQ(nextOccurrence(RepeatRule::Weekly, anchor, at(2031, 7, 9, 8, 30, 15)),
              at(2031, 7, 16));  // both Wednesdays
    EXPECT_EQ(nextOccurrence(RepeatRule::Weekly, anchor, at(2031, 7, 10)), at(2031, 7, 16));
    // An anchor that is no whole second keeps its own second.
    EXPECT_EQ(nextOccurrence(RepeatRule::Daily, anchor + 0.2 * kSecond, anchor), at(2026, 3, 5));
}

TEST(RepeatRuleTest, WorkdaysSkipTheWeekend) {
    const DateTime friday = at(2026, 3, 6);
    EXPECT_EQ(following(RepeatRule::Workdays, friday, 3),
              (std::vector<DateTime>{at(2026, 3, 9), at(2026, 3, 10), at(2026, 3, 11)}));
    EXPECT_EQ(nextOccurrence(RepeatRule::Workdays, friday, at(2026, 3, 7, 12, 0, 0)),
              at(2026, 3, 9));
    EXPECT_EQ(nextOccurrence(RepeatRule::Workdays, friday, at(2026, 3, 13, 9, 0, 0)),
              at(2026, 3, 16));
}

TEST(RepeatRuleTest, MonthlyFallsOnTheLastDayOfShortMonthsAndGoesBack) {
    EXPECT_EQ(following(RepeatRule::Monthly, at(2024, 1, 31), 5),
              (std::vector<DateTime>{at(2024, 2, 29), at(2024, 3, 31), at(2024, 4, 30),
                                     at(2024, 5, 31), at(2024, 6, 30)}));
    EXPECT_EQ(nextOccurrence(RepeatRule::Monthly, at(2024, 1, 31), at(2025, 2, 1)),
              at(2025, 2, 28));
    EXPECT_EQ(nextOccurrence(RepeatRule::Monthly, at(2024, 1, 30), at(2026, 12, 30, 9, 0, 0)),
              at(2027, 1, 30));
}

TEST(RepeatRuleTest, YearlyOnTheTwentyNinthOfFebruaryFallsOnTheTwentyEighth) {
    EXPECT_EQ(following(RepeatRule::Yearly, at(2024, 2, 29), 4),
              (std::vector<DateTime>{at(2025, 2, 28), at(2026, 2, 28), at(2027, 2, 28),
                                     at(2028, 2, 29)}));
    EXPECT_EQ(nextOccurrence(RepeatRule::Yearly, at(2024, 2, 29), at(2099, 3, 1)), at(2100, 2, 28));
}

// The lunar code of a day: month * 100 + day, negative in a leap month.
int lunarCode(DateTime day) { return DateCn::LunarDateCode(day); }

// True when `day` is where a series of the regular lunar month and day `code` falls, read
// from the calendar alone: that day, or day 29 of a month without day 30.
bool lunarMatch(DateTime day, int code) {
    const int here = lunarCode(day);
    if (here == code) return true;
    return code % 100 == 30 && here == code - 1 && lunarCode(day + 1) != code;
}

DateTime firstDayWithCode(DateTime from, int code) {
    for (DateTime day = from; day <= DateCn::kLastDate; ++day)
        if (lunarCode(day) == code) return day;
    ADD_FAILURE() << "no day with lunar code " << code;
    return from;
}

DateTime firstLeapDayThirty(DateTime from) {
    for (DateTime day = from; day <= DateCn::kLastDate; ++day)
        if (lunarCode(day) < 0 && -lunarCode(day) % 100 == 30) return day;
    ADD_FAILURE() << "no leap month with 30 days";
    return from;
}

TEST(RepeatRuleTest, LunarYearlyMatchesTheCalendarInEveryYear) {
    const DateTime from = encodeDate(1901, 3, 1);
    std::vector<DateTime> anchors = {
        firstDayWithCode(from, 101),                     // 正月初一
        firstDayWithCode(from, 815),                     // 八月十五
        firstDayWithCode(from, 1230),                    // 腊月三十
        firstDayWithCode(from, 330),                     // 三月三十
        firstDayWithCode(encodeDate(2020, 1, 1), -410),  // 闰四月初十
        firstLeapDayThirty(encodeDate(1990, 1, 1)),
        firstDayWithCode(encodeDate(2049, 1, 1), 1115) - 1,  // 十一月十四
    };
    int onDayTwentyNine = 0;
    for (const DateTime anchorDay : anchors) {
        const int code = std::abs(lunarCode(anchorDay));
        const DateTime anchor = anchorDay + encodeTime(19, 45, 3);
        SCOPED_TRACE(formatIsoDateTime(anchor));
        std::vector<DateTime> expected;
        for (DateTime day = anchorDay + 1; day <= DateCn::kLastDate; ++day)
            if (lunarMatch(day, code)) expected.push_back(day + encodeTime(19, 45, 3));
        const std::vector<DateTime> found = following(RepeatRule::LunarYearly, anchor, 400);
        EXPECT_EQ(found, expected);
        // About one a year, and none beyond the calendar's range.
        EXPECT_GE(found.size() + 1, static_cast<std::size_t>(2050 - decodeDate(anchor).year));
        EXPECT_FALSE(
            nextOccurrence(RepeatRule::LunarYearly, anchor, found.empty() ? anchor : found.back()));
        for (const DateTime occurrence : found)
            if (lunarCode(dateOf(occurrence)) != code) ++onDayTwentyNine;
        // Late in the day of an occurrence: the next one, a year on.
        if (found.size() > 4) {
            EXPECT_EQ(nextOccurrence(RepeatRule::LunarYearly, anchor, dateOf(found[3]) + 0.9),
                      found[4]);
        }
    }
    EXPECT_GT(onDayTwentyNine, 0);
}

TEST(RepeatRuleTest, LunarYearlyEndsOutsideTheCalendar) {
    EXPECT_FALSE(nextOccurrence(RepeatRule::LunarYearly, at(1900, 6, 1), at(1899, 1, 1)));
    EXPECT_FALSE(nextOccurrence(RepeatRule::LunarYearly, at(2051, 2, 1), at(2051, 1, 1)));
    const DateTime anchor = at(2026, 2, 17);  // 正月初一
    ASSERT_EQ(lunarCode(dateOf(anchor)), 101);
    EXPECT_FALSE(nextOccurrence(RepeatRule::LunarYearly, anchor, at(2050, 6, 1)));
    EXPECT_FALSE(nextOccurrence(RepeatRule::LunarYearly, anchor, at(2060, 6, 1)));
}

}  // namespace
}  // namespace plumo
