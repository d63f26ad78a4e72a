#include "calendar/date_cn.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "calendar/date_cn_tables.h"

namespace plumo::DateCn {
namespace {

constexpr std::array<std::string_view, 13> kMonthCharacters = {
    "", "正", "二", "三", "四", "五", "六", "七", "八", "九", "十", "冬", "腊"};

constexpr std::array<std::string_view, 31> kDayNames = {
    "",     "初一", "初二", "初三", "初四", "初五", "初六", "初七", "初八", "初九", "初十",
    "十一", "十二", "十三", "十四", "十五", "十六", "十七", "十八", "十九", "二十", "廿一",
    "廿二", "廿三", "廿四", "廿五", "廿六", "廿七", "廿八", "廿九", "三十"};

constexpr std::array<std::string_view, 25> kSolarTermNames = {
    "",     "小寒", "大寒", "立春", "雨水", "惊蛰", "春分", "清明", "谷雨",
    "立夏", "小满", "芒种", "夏至", "小暑", "大暑", "立秋", "处暑", "白露",
    "秋分", "寒露", "霜降", "立冬", "小雪", "大雪", "冬至"};

// Indexed by (year - 1972) mod 12: 1972 is 子鼠.
constexpr std::array<std::string_view, 12> kBranchAnimals = {
    "子鼠", "丑牛", "寅虎", "卯兔", "辰龙", "巳蛇", "午马", "未羊", "申猴", "酉鸡", "戌狗", "亥猪"};

// Indexed by (year - 1974) mod 10: 1974 is 甲.
constexpr std::array<std::string_view, 10> kStems = {"甲", "乙", "丙", "丁", "戊",
                                                     "己", "庚", "辛", "壬", "癸"};

struct StarSign {
    std::string_view before;
    int fromDay;
    std::string_view from;
};
constexpr std::array<StarSign, 12> kStarSigns = {{
    {"摩羯座", 20, "水瓶座"},
    {"水瓶座", 19, "双鱼座"},
    {"双鱼座", 21, "白羊座"},
    {"白羊座", 20, "金牛座"},
    {"金牛座", 21, "双子座"},
    {"双子座", 22, "巨蟹座"},
    {"巨蟹座", 23, "狮子座"},
    {"狮子座", 23, "处女座"},
    {"处女座", 23, "天秤座"},
    {"天秤座", 24, "天蝎座"},
    {"天蝎座", 22, "射手座"},
    {"射手座", 22, "摩羯座"},
}};

struct FixedHoliday {
    int month;
    int day;
    std::string_view name;
};
constexpr std::array<FixedHoliday, 15> kFixedHolidays = {{
    {1, 1, "元旦节"},
    {2, 14, "情人节"},
    {3, 8, "妇女节"},
    {4, 1, "愚人节"},
    {5, 1, "劳动节"},
    {5, 4, "青年节"},
    {6, 1, "儿童节"},
    {7, 1, "建党节"},
    {8, 1, "建军节"},
    {9, 10, "教师节"},
    {10, 1, "国庆节"},
    {10, 6, "老人节"},
    {10, 31, "万圣节"},
    {11, 8, "记者日"},
    {12, 25, "圣诞节"},
}};

// A festival on the n-th given weekday of a month (n counted from 0).
struct WeekdayHoliday {
    int month;
    int weekday;  // Sunday = 1
    int weekIndex;
    std::string_view name;
};
constexpr int kSunday = 1;
constexpr int kThursday = 5;
constexpr std::array<WeekdayHoliday, 3> kWeekdayHolidays = {{
    {5, kSunday, 1, "母亲节"},
    {6, kSunday, 2, "父亲节"},
    {11, kThursday, 3, "感恩节"},
}};

constexpr bool isLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// The day number of 1 January of every covered year, and of 1 January 2051 at the end.
struct YearStarts {
    std::array<int, kYearCount + 1> day{};
    constexpr YearStarts() {
        int start = static_cast<int>(kFirstDate);
        for (int i = 0; i <= kYearCount; ++i) {
            day[i] = start;
            start += isLeap(kFirstYear + i) ? 366 : 365;
        }
    }
};
constexpr YearStarts kYearStarts;
static_assert(kYearStarts.day[kYearCount] == static_cast<int>(kLastDate) + 1);

constexpr double kMillisecondsPerDay = 86'400'000.0;

// The covered year and day within it (0 = 1 January) of a date-time value, the day taken
// as decodeDate() takes it; false outside the covered range.
bool yearAndDayIndex(DateTime date, int& year, int& dayIndex) {
    if (!(date >= kFirstDate - 1 && date < kLastDate + 2)) return false;  // also NaN
    const int day = static_cast<int>(std::llround(date * kMillisecondsPerDay) /
                                     static_cast<std::int64_t>(kMillisecondsPerDay));
    if (day < kYearStarts.day[0] || day >= kYearStarts.day[kYearCount]) return false;
    int index = (day - kYearStarts.day[0]) * 4 / 1461;
    while (index > 0 && day < kYearStarts.day[index]) --index;
    while (day >= kYearStarts.day[index + 1]) ++index;
    year = kFirstYear + index;
    dayIndex = day - kYearStarts.day[index];
    return true;
}

int daysBeforeMonth(int year, int month) {
    static constexpr std::array<int, 12> kCumulative = {0,   31,  59,  90,  120, 151,
                                                        181, 212, 243, 273, 304, 334};
    return kCumulative[month - 1] + (month > 2 && isLeap(year) ? 1 : 0);
}

// The month that follows `month` in a run whose leap month follows month `leap`.
int nextMonthNumber(int month, int leap) {
    if (month == leap) return -leap;
    const int next = std::abs(month) + 1;
    return next > 12 ? 1 : next;
}

// The lunar date code of day `dayIndex` (0 = 1 January) of `year`, which lies in range.
int lunarCodeOfDay(int year, int dayIndex) {
    const std::uint32_t record = LunarInfo[year - kFirstYear];
    const int byte0 = static_cast<int>(record >> 24);
    const int firstDay = byte0 & 0x7F;
    const int firstMonth = (byte0 & 0x80) ? 12 : 11;
    const unsigned lengthBits = (record >> 8) & 0xFFFF;
    const int leap = static_cast<int>(record & 0xFF);
    const auto length = [lengthBits](int k) { return (lengthBits >> (15 - k)) & 1 ? 30 : 29; };

    int month = firstMonth;
    int day = 0;
    if (dayIndex <= length(0) - firstDay) {
        day = firstDay + dayIndex;
        // Whether the month in progress on 1 January is a leap one shows in the last day
        // of the year before, which always lies past the first month of its own run.
        if (year > kFirstYear) {
            const int previous = year - 1;
            if (lunarCodeOfDay(previous, isLeap(previous) ? 365 : 364) < 0) month = -month;
        }
    } else {
        int elapsed = length(0) - firstDay;
        int k = 1;
        month = nextMonthNumber(month, leap);
        while (k < 15 && dayIndex > elapsed + length(k)) {
            elapsed += length(k);
            ++k;
            month = nextMonthNumber(month, leap);
        }
        day = dayIndex - elapsed;
    }
    return month > 0 ? month * 100 + day : month * 100 - day;
}

bool inRange(int year) { return year >= kFirstYear && year <= kLastYear; }

int monthOfCode(int code) { return code / 100; }  // negative for a leap month
int dayOfCode(int code) { return std::abs(code) % 100; }

// The Gregorian year whose lunar year holds the date: days of January to March that lie
// in the 11th or 12th lunar month (leap or not) still belong to the year before.
// 0 outside the covered range.
int lunarYearOf(DateTime date) {
    int year = 0, dayIndex = 0;
    if (!yearAndDayIndex(date, year, dayIndex)) return 0;
    if (dayIndex >= daysBeforeMonth(year, 4)) return year;
    const int month = std::abs(monthOfCode(lunarCodeOfDay(year, dayIndex)));
    return month == 11 || month == 12 ? year - 1 : year;
}

int positiveModulo(int value, int divisor) { return ((value % divisor) + divisor) % divisor; }

std::string_view starSign(int month, int day) {
    const StarSign& sign = kStarSigns[month - 1];
    return day < sign.fromDay ? sign.before : sign.from;
}

}  // namespace

int LunarDateCode(DateTime date) {
    int year = 0, dayIndex = 0;
    return yearAndDayIndex(date, year, dayIndex) ? lunarCodeOfDay(year, dayIndex) : 0;
}

std::string CnMonthOfDate(DateTime date) {
    const int month = monthOfCode(LunarDateCode(date));
    if (month == 0) return {};
    std::string text;
    if (month < 0) {
        text = "闰";
        text += kMonthCharacters[-month];
    } else {
        text = kMonthCharacters[month];
        text += "月";
    }
    return text;
}

std::string CnDayOfDate(DateTime date) {
    return std::string(kDayNames[dayOfCode(LunarDateCode(date))]);
}

int DayOfYear(DateTime date) {
    const DateParts parts = decodeDate(date);
    return daysBeforeMonth(parts.year, parts.month) + parts.day;
}

int SolarTermIndex(int year, int month, int day) {
    if (!inRange(year) || month < 1 || month > 12) return 0;
    const int info = SolarTermInfo[(year - kFirstYear) * 12 + month - 1];
    const int expected = day < 15 ? 15 - (info >> 4) : (info & 0x0F) + 15;
    if (day != expected) return 0;
    return day <= 15 ? 2 * month - 1 : 2 * month;
}

std::string SolarTermName(int index) {
    if (index < 1 || index > 24) return {};
    return std::string(kSolarTermNames[index]);
}

std::string SolarTermOfDate(DateTime date) {
    const DateParts parts = decodeDate(date);
    return SolarTermName(SolarTermIndex(parts.year, parts.month, parts.day));
}

std::string CnHolDayOfDate(DateTime date) {
    const int code = LunarDateCode(date);
    if (code == 0) return {};
    const int month = monthOfCode(code);  // a leap month is negative and never matches
    switch (dayOfCode(code)) {
        case 1:
            return month == 1 ? "春节" : "";
        case 5:
            return month == 5 ? "端午节" : "";
        case 7:
            return month == 7 ? "七夕节" : "";
        case 8:
            return month == 12 ? "腊八节" : "";
        case 9:
            return month == 9 ? "重阳节" : "";
        case 15:
            if (month == 8) return "中秋节";
            return month == 1 ? "元宵节" : "";
        default:
            // The last day of the lunar year, whether the 29th or the 30th.
            // Only the last day of a month can precede 正月初一.
            if (month != 1 && dayOfCode(code) >= 29 && monthOfCode(LunarDateCode(date + 1)) == 1)
                return "除夕";
            return {};
    }
}

std::string HolidayOfDay(int day, DateTime date) {
    const DateParts parts = decodeDate(date);
    if (day < 1 || day > daysInMonth(parts.year, parts.month)) return {};
    for (const FixedHoliday& holiday : kFixedHolidays)
        if (holiday.month == parts.month && holiday.day == day) return std::string(holiday.name);
    for (const WeekdayHoliday& holiday : kWeekdayHolidays) {
        if (holiday.month != parts.month || (day - 1) / 7 != holiday.weekIndex) continue;
        if (dayOfWeek(encodeDate(parts.year, parts.month, day)) == holiday.weekday)
            return std::string(holiday.name);
    }
    return {};
}

std::string AnimalsYearOfDate(DateTime date) {
    const int year = lunarYearOf(date);
    if (year == 0) return {};
    return std::string(kBranchAnimals[positiveModulo(year - 1972, 12)]);
}

std::string YearStemOfDate(DateTime date) {
    const int year = lunarYearOf(date);
    if (year == 0) return {};
    return std::string(kStems[positiveModulo(year - 1974, 10)]);
}

std::string ConstellationOfDate(DateTime date) {
    const DateParts parts = decodeDate(date);
    return std::string(starSign(parts.month, parts.day));
}

std::string ConstellationOfDay(int day, DateTime date) {
    const DateParts parts = decodeDate(date);
    if (day < 1 || day > daysInMonth(parts.year, parts.month)) return {};
    return std::string(starSign(parts.month, day));
}

}  // namespace plumo::DateCn
