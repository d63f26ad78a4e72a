#include "memo/repeat_rule.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

#include "calendar/date_cn.h"

namespace plumo {
namespace {

struct RuleWords {
    RepeatRule rule;
    std::string_view keyword;
    std::string_view caption;
};

constexpr std::array<RuleWords, 6> kRuleWords{{
    {RepeatRule::Daily, "daily", "每天"},
    {RepeatRule::Workdays, "workdays", "每个工作日"},
    {RepeatRule::Weekly, "weekly", "每周"},
    {RepeatRule::Monthly, "monthly", "每月"},
    {RepeatRule::Yearly, "yearly", "每年"},
    {RepeatRule::LunarYearly, "lunar-yearly", "每年（农历）"},
}};

const RuleWords& wordsOf(RepeatRule rule) {
    for (const RuleWords& words : kRuleWords)
        if (words.rule == rule) return words;
    return kRuleWords.front();
}

// The series in whole seconds: the anchor's day and its time of day, which every
// occurrence keeps.
struct Series {
    std::int64_t anchorDay = 0;
    std::int64_t timeOfDay = 0;
    std::int64_t after = 0;  // occurrences must lie in a later second than this one

    std::int64_t secondOn(std::int64_t day) const { return day * kSecondsPerDay + timeOfDay; }
    bool lateEnough(std::int64_t day) const { return secondOn(day) > after; }
    // The first day whose occurrence could lie after `after` (the anchor's day at the
    // earliest).
    std::int64_t firstCandidateDay() const {
        return std::max(anchorDay, floorDiv(after, kSecondsPerDay));
    }
};

DateTime valueOfSecond(std::int64_t second) { return wholeSecond(startOfSecond(second)); }

DateTime dayValue(std::int64_t day) { return static_cast<DateTime>(day); }

std::int64_t dayNumber(DateTime date) { return static_cast<std::int64_t>(date); }

std::int64_t dayOfDate(int year, int month, int dayWanted) {
    return dayNumber(encodeDate(year, month, std::min(dayWanted, daysInMonth(year, month))));
}

std::int64_t nextDaily(const Series& s) {
    std::int64_t day = s.firstCandidateDay();
    return s.lateEnough(day) ? day : day + 1;
}

std::int64_t nextWorkday(const Series& s) {
    std::int64_t day = s.firstCandidateDay();
    while (!s.lateEnough(day) || isoDayOfWeek(dayValue(day)) > 5) ++day;
    return day;
}

std::int64_t nextWeekly(const Series& s) {
    std::int64_t day = s.firstCandidateDay();
    day += (7 - (day - s.anchorDay) % 7) % 7;
    return s.lateEnough(day) ? day : day + 7;
}

// Months counted from year 0, so that month arithmetic needs no carrying.
std::int64_t nextMonthly(const Series& s) {
    const DateParts anchor = decodeDate(dayValue(s.anchorDay));
    const DateParts from = decodeDate(dayValue(s.firstCandidateDay()));
    for (std::int64_t month = std::int64_t{from.year} * 12 + from.month - 1;; ++month) {
        const auto year = static_cast<int>(floorDiv(month, 12));
        const std::int64_t day =
            dayOfDate(year, static_cast<int>(month - std::int64_t{year} * 12) + 1, anchor.day);
        if (day >= s.anchorDay && s.lateEnough(day)) return day;
    }
}

std::int64_t nextYearly(const Series& s) {
    const DateParts anchor = decodeDate(dayValue(s.anchorDay));
    for (int year = decodeDate(dayValue(s.firstCandidateDay())).year;; ++year) {
        const std::int64_t day = dayOfDate(year, anchor.month, anchor.day);
        if (day >= s.anchorDay && s.lateEnough(day)) return day;
    }
}

// The anchor's regular lunar month and day; day 30 falls on day 29 in a year whose month
// has no day 30. Each lunar year has its regular month once, so one year and a bit of
// days always holds the next occurrence.
std::optional<std::int64_t> nextLunarYearly(const Series& s) {
    const int code = std::abs(DateCn::LunarDateCode(dayValue(s.anchorDay)));
    if (code == 0) return std::nullopt;
    const int month = code / 100;
    const int dayOfMonth = code % 100;
    const auto lastDay = dayNumber(DateCn::kLastDate);
    std::int64_t day = std::max(s.firstCandidateDay(), dayNumber(DateCn::kFirstDate));
    // Lunar months have 29 or 30 days, so from day d of a month day 28 is 28 - d days on.
    auto skipRestOfMonth = [&day](int dayHere) {
        if (dayHere < 28) day += 27 - dayHere;
    };
    for (; day <= lastDay; ++day) {
        const int here = DateCn::LunarDateCode(dayValue(day));
        if (here == 0) continue;
        const int hereDay = std::abs(here) % 100;
        if (here < 0 || here / 100 != month) {
            skipRestOfMonth(hereDay);
            continue;
        }
        const int wanted = std::min(dayOfMonth, 29);
        if (hereDay < wanted) {
            day += wanted - hereDay - 1;
            continue;
        }
        bool matches = hereDay == dayOfMonth;
        if (!matches && dayOfMonth == 30 && hereDay == 29)
            matches = DateCn::LunarDateCode(dayValue(day + 1)) != month * 100 + 30;
        if (matches && s.lateEnough(day)) return day;
        skipRestOfMonth(hereDay);
    }
    return std::nullopt;
}

}  // namespace

std::string_view repeatRuleKeyword(RepeatRule rule) { return wordsOf(rule).keyword; }

std::optional<RepeatRule> repeatRuleFromKeyword(std::string_view keyword) {
    for (const RuleWords& words : kRuleWords)
        if (words.keyword == keyword) return words.rule;
    return std::nullopt;
}

std::string_view repeatRuleCaption(RepeatRule rule) { return wordsOf(rule).caption; }

std::optional<DateTime> nextOccurrence(RepeatRule rule, DateTime anchor, DateTime after) {
    const std::int64_t anchorSecond = secondOf(anchor);
    Series series;
    series.anchorDay = floorDiv(anchorSecond, kSecondsPerDay);
    series.timeOfDay = anchorSecond - series.anchorDay * kSecondsPerDay;
    series.after = secondOf(after);
    std::optional<std::int64_t> day;
    if (rule == RepeatRule::LunarYearly && DateCn::LunarDateCode(dayValue(series.anchorDay)) == 0)
        return std::nullopt;
    if (anchorSecond > series.after) {
        day = series.anchorDay;
    } else {
        switch (rule) {
            case RepeatRule::Daily:
                day = nextDaily(series);
                break;
            case RepeatRule::Workdays:
                day = nextWorkday(series);
                break;
            case RepeatRule::Weekly:
                day = nextWeekly(series);
                break;
            case RepeatRule::Monthly:
                day = nextMonthly(series);
                break;
            case RepeatRule::Yearly:
                day = nextYearly(series);
                break;
            case RepeatRule::LunarYearly:
                day = nextLunarYearly(series);
                break;
        }
    }
    if (!day) return std::nullopt;
    return valueOfSecond(series.secondOn(*day));
}

}  // namespace plumo
