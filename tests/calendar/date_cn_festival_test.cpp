#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "calendar/date_cn.h"

namespace plumo::DateCn {
namespace {

DateTime day(int year, int month, int dayOfMonth) { return encodeDate(year, month, dayOfMonth); }

constexpr DateTime kFirstDay = kFirstDate;
constexpr DateTime kLastDay = kLastDate;

TEST(CnHolDayOfDate, FestivalsOf2011) {
    EXPECT_EQ(CnHolDayOfDate(day(2011, 2, 3)), "春节");
    EXPECT_EQ(CnHolDayOfDate(day(2011, 2, 17)), "元宵节");
    EXPECT_EQ(CnHolDayOfDate(day(2011, 6, 6)), "端午节");
    EXPECT_EQ(CnHolDayOfDate(day(2011, 8, 6)), "七夕节");
    EXPECT_EQ(CnHolDayOfDate(day(2011, 9, 12)), "中秋节");
    EXPECT_EQ(CnHolDayOfDate(day(2011, 10, 5)), "重阳节");
    EXPECT_EQ(CnHolDayOfDate(day(2011, 1, 11)), "腊八节");
    // The same lunar day numbers in other months are no festival.
    EXPECT_EQ(CnHolDayOfDate(day(2011, 3, 5)), "");   // 二月初一
    EXPECT_EQ(CnHolDayOfDate(day(2011, 3, 19)), "");  // 二月十五
    EXPECT_EQ(CnHolDayOfDate(day(2011, 5, 12)), "");  // 四月初十
    EXPECT_EQ(CnHolDayOfDate(day(2011, 12, 2)), "");  // 冬月初八
}

TEST(CnHolDayOfDate, NewYearsEveOnA30thAndOnA29th) {
    EXPECT_EQ(LunarDateCode(day(2011, 2, 2)), 1230);
    EXPECT_EQ(CnHolDayOfDate(day(2011, 2, 2)), "除夕");
    EXPECT_EQ(CnHolDayOfDate(day(2011, 2, 1)), "");
    EXPECT_EQ(LunarDateCode(day(2012, 1, 22)), 1229);
    EXPECT_EQ(CnHolDayOfDate(day(2012, 1, 22)), "除夕");
    EXPECT_EQ(CnHolDayOfDate(day(2012, 1, 21)), "");
    // The last day of the covered range has no following lunar day to look at.
    EXPECT_EQ(CnHolDayOfDate(kLastDay), "");
    EXPECT_EQ(CnHolDayOfDate(day(2051, 1, 1)), "");
    EXPECT_EQ(CnHolDayOfDate(day(1900, 12, 31)), "");
}

TEST(CnHolDayOfDate, NeverInALeapMonth) {
    EXPECT_EQ(CnHolDayOfDate(day(2006, 7, 31)), "七夕节");
    EXPECT_EQ(LunarDateCode(day(2006, 8, 30)), -707);
    EXPECT_EQ(CnHolDayOfDate(day(2006, 8, 30)), "");
    EXPECT_EQ(CnHolDayOfDate(day(2009, 5, 28)), "端午节");
    EXPECT_EQ(LunarDateCode(day(2009, 6, 27)), -505);
    EXPECT_EQ(CnHolDayOfDate(day(2009, 6, 27)), "");
    for (DateTime d = kFirstDay; d <= kLastDay; d += 1) {
        if (LunarDateCode(d) < 0) {
            ASSERT_EQ(CnHolDayOfDate(d), "") << formatIsoDate(d);
        }
    }
}

TEST(CnHolDayOfDate, CorrectedDragonBoatFestival2013) {
    EXPECT_EQ(CnHolDayOfDate(day(2013, 6, 12)), "端午节");
    EXPECT_EQ(CnHolDayOfDate(day(2013, 6, 11)), "");
}

// Every Gregorian year of the range holds exactly one 春节 and one 除夕 (the lunar new year
// always falls between 21 January and 20 February), the eve the day before the new year.
TEST(CnHolDayOfDate, OneNewYearAndOneEvePerYearOverTheRange) {
    std::map<int, std::vector<DateTime>> newYears, eves;
    for (DateTime d = kFirstDay; d <= kLastDay; d += 1) {
        const std::string festival = CnHolDayOfDate(d);
        if (festival == "春节") newYears[decodeDate(d).year].push_back(d);
        if (festival == "除夕") eves[decodeDate(d).year].push_back(d);
    }
    for (int year = 1901; year <= 2050; ++year) {
        ASSERT_EQ(newYears[year].size(), 1u) << year;
        ASSERT_EQ(eves[year].size(), 1u) << year;
        EXPECT_EQ(eves[year][0] + 1, newYears[year][0]) << year;
        EXPECT_EQ(LunarDateCode(newYears[year][0]), 101) << year;
    }
}

TEST(SolarTermIndex, ExamplesAndDaysWithoutATerm) {
    EXPECT_EQ(SolarTermIndex(2011, 2, 4), 3);
    EXPECT_EQ(SolarTermOfDate(day(2011, 2, 4)), "立春");
    EXPECT_EQ(SolarTermIndex(2011, 12, 22), 24);
    EXPECT_EQ(SolarTermOfDate(day(2011, 12, 22)), "冬至");
    EXPECT_EQ(SolarTermOfDate(day(2011, 6, 6)), "芒种");
    EXPECT_EQ(SolarTermOfDate(day(2011, 2, 5)), "");
    for (int year = 1901; year <= 2050; ++year)
        for (int month = 1; month <= 12; ++month) {
            ASSERT_EQ(SolarTermIndex(year, month, 14), 0);
            ASSERT_EQ(SolarTermIndex(year, month, 15), 0);
        }
    // Outside the covered years and months there is no term rather than a stray read.
    EXPECT_EQ(SolarTermIndex(1900, 12, 22), 0);
    EXPECT_EQ(SolarTermIndex(2051, 1, 5), 0);
    EXPECT_EQ(SolarTermIndex(2011, 0, 5), 0);
    EXPECT_EQ(SolarTermIndex(2011, 13, 5), 0);
    EXPECT_EQ(SolarTermOfDate(day(2051, 1, 5)), "");
}

struct TermDays {
    int year;
    int days[12][2];
};

TEST(SolarTermIndex, TermDaysOfWholeYears) {
    const TermDays years[] = {
        {1901,
         {{6, 21},
          {4, 19},
          {6, 21},
          {5, 21},
          {6, 22},
          {6, 22},
          {8, 23},
          {8, 24},
          {8, 24},
          {9, 24},
          {8, 23},
          {8, 22}}},
        {2011,
         {{6, 20},
          {4, 19},
          {6, 21},
          {5, 20},
          {6, 21},
          {6, 22},
          {7, 23},
          {8, 23},
          {8, 23},
          {8, 24},
          {8, 23},
          {7, 22}}},
        // 白露 2050 falls on 7 September.
        {2050,
         {{5, 20},
          {3, 18},
          {5, 20},
          {4, 20},
          {5, 21},
          {5, 21},
          {7, 22},
          {7, 23},
          {7, 23},
          {8, 23},
          {7, 22},
          {7, 22}}},
    };
    const char* const names[] = {"小寒", "大寒", "立春", "雨水", "惊蛰", "春分", "清明", "谷雨",
                                 "立夏", "小满", "芒种", "夏至", "小暑", "大暑", "立秋", "处暑",
                                 "白露", "秋分", "寒露", "霜降", "立冬", "小雪", "大雪", "冬至"};
    for (const TermDays& y : years)
        for (int month = 1; month <= 12; ++month)
            for (int half = 0; half < 2; ++half) {
                const int index = 2 * month - 1 + half;
                const DateTime d = day(y.year, month, y.days[month - 1][half]);
                EXPECT_EQ(SolarTermIndex(y.year, month, y.days[month - 1][half]), index)
                    << formatIsoDate(d);
                EXPECT_EQ(SolarTermOfDate(d), names[index - 1]) << formatIsoDate(d);
            }
}

TEST(SolarTermIndex, CorrectedTermDays) {
    struct Correction {
        int year, month, correctedDay, formerDay;
    };
    const Correction corrections[] = {
        {1904, 10, 9, 8},   {1929, 10, 9, 8},  {1929, 11, 23, 22}, {1949, 8, 23, 24},
        {1954, 10, 24, 23}, {1962, 1, 20, 21}, {1973, 2, 19, 20},  {1976, 8, 23, 24},
        {1977, 5, 5, 6},    {1981, 11, 7, 8},  {1991, 5, 6, 7},    {1995, 8, 23, 21},
        {2033, 7, 22, 23},  {2034, 8, 7, 8},   {2049, 4, 4, 5},    {2049, 4, 19, 20},
        {2050, 9, 7, 8},
    };
    for (const Correction& c : corrections) {
        const int term = 2 * c.month - (c.correctedDay < 15 ? 1 : 0);
        EXPECT_EQ(SolarTermIndex(c.year, c.month, c.correctedDay), term)
            << c.year << "-" << c.month << "-" << c.correctedDay;
        EXPECT_EQ(SolarTermIndex(c.year, c.month, c.formerDay), 0)
            << c.year << "-" << c.month << "-" << c.formerDay;
    }
}

// Each month of the range holds exactly two terms, the first on day 3 to 9 and the second
// on day 18 to 24, numbered in calendar order.
TEST(SolarTermIndex, TwoTermsInEveryMonthOfTheRange) {
    for (int year = 1901; year <= 2050; ++year)
        for (int month = 1; month <= 12; ++month) {
            std::vector<std::pair<int, int>> found;  // day, term
            for (int d = 1; d <= daysInMonth(year, month); ++d)
                if (const int term = SolarTermIndex(year, month, d)) found.emplace_back(d, term);
            ASSERT_EQ(found.size(), 2u) << year << "-" << month;
            EXPECT_GE(found[0].first, 3);
            EXPECT_LE(found[0].first, 9);
            EXPECT_GE(found[1].first, 18);
            EXPECT_LE(found[1].first, 24);
            EXPECT_EQ(found[0].second, 2 * month - 1);
            EXPECT_EQ(found[1].second, 2 * month);
        }
}

TEST(HolidayOfDay, FixedDays) {
    const DateTime y2011 = day(2011, 1, 1);
    const struct {
        int month, day;
        const char* name;
    } fixed[] = {{1, 1, "元旦节"},   {2, 14, "情人节"}, {3, 8, "妇女节"},  {4, 1, "愚人节"},
                 {5, 1, "劳动节"},   {5, 4, "青年节"},  {6, 1, "儿童节"},  {7, 1, "建党节"},
                 {8, 1, "建军节"},   {9, 10, "教师节"}, {10, 1, "国庆节"}, {10, 6, "老人节"},
                 {10, 31, "万圣节"}, {11, 8, "记者日"}, {12, 25, "圣诞节"}};
    for (const auto& f : fixed) {
        const DateTime anyDayOfMonth = day(2011, f.month, 15);
        EXPECT_EQ(HolidayOfDay(f.day, anyDayOfMonth), f.name) << f.month << "-" << f.day;
        EXPECT_EQ(HolidayOfDay(f.day + 1, anyDayOfMonth), "") << f.month << "-" << f.day + 1;
    }
    EXPECT_EQ(HolidayOfDay(14, day(2011, 3, 1)), "");  // 14 March is not 情人节
    EXPECT_EQ(HolidayOfDay(1, y2011 + 0.75), "元旦节");
}

TEST(HolidayOfDay, WeekdayFestivals) {
    const DateTime may2011 = day(2011, 5, 1);
    EXPECT_EQ(HolidayOfDay(8, may2011), "母亲节");
    EXPECT_EQ(HolidayOfDay(1, may2011), "劳动节");  // a Sunday, but the first one
    EXPECT_EQ(HolidayOfDay(15, may2011), "");       // the third Sunday
    EXPECT_EQ(HolidayOfDay(9, may2011), "");
    const DateTime june2011 = day(2011, 6, 30);
    EXPECT_EQ(HolidayOfDay(19, june2011), "父亲节");
    EXPECT_EQ(HolidayOfDay(12, june2011), "");
    EXPECT_EQ(HolidayOfDay(26, june2011), "");
    const DateTime november2011 = day(2011, 11, 2);
    EXPECT_EQ(HolidayOfDay(24, november2011), "感恩节");
    EXPECT_EQ(HolidayOfDay(17, november2011), "");
    EXPECT_EQ(HolidayOfDay(25, november2011), "");
    // Sunday in one month is not Mother's Day in another.
    EXPECT_EQ(HolidayOfDay(8, day(2011, 10, 1)), "");

    // Every year has one of each, on the right weekday and week.
    for (int year = 1901; year <= 2050; ++year) {
        const struct {
            int month;
            const char* name;
            int weekday, week;
        } rules[] = {{5, "母亲节", 1, 1}, {6, "父亲节", 1, 2}, {11, "感恩节", 5, 3}};
        for (const auto& rule : rules) {
            int count = 0;
            for (int d = 1; d <= daysInMonth(year, rule.month); ++d) {
                if (HolidayOfDay(d, day(year, rule.month, 1)) != rule.name) continue;
                ++count;
                EXPECT_EQ(dayOfWeek(day(year, rule.month, d)), rule.weekday);
                EXPECT_EQ((d - 1) / 7, rule.week);
            }
            EXPECT_EQ(count, 1) << year << " " << rule.name;
        }
    }
}

TEST(HolidayOfDay, DaysTheMonthDoesNotHave) {
    EXPECT_EQ(HolidayOfDay(0, day(2011, 5, 1)), "");
    EXPECT_EQ(HolidayOfDay(-6, day(2011, 5, 1)), "");
    EXPECT_EQ(HolidayOfDay(32, day(2011, 5, 1)), "");
    EXPECT_EQ(HolidayOfDay(30, day(2011, 2, 1)), "");
}

struct YearName {
    DateParts date;
    const char* stem;
    const char* animal;
};

TEST(YearNames, SwitchAtTheLunarNewYear) {
    const YearName names[] = {
        {{2011, 5, 12}, "辛", "卯兔"},
        {{2011, 2, 2}, "庚", "寅虎"},
        {{2011, 2, 3}, "辛", "卯兔"},
        {{2009, 1, 26}, "己", "丑牛"},
        {{2009, 12, 31}, "己", "丑牛"},
        {{2009, 1, 25}, "戊", "子鼠"},
        {{1972, 1, 1}, "辛", "亥猪"},
        {{1972, 2, 15}, "壬", "子鼠"},
        {{1974, 6, 1}, "甲", "寅虎"},
        {{1901, 1, 1}, "庚", "子鼠"},
        {{1901, 2, 19}, "辛", "丑牛"},
        {{2050, 12, 31}, "庚", "午马"},
        // In the leap 11th month that runs into 2034, the year is still 2033's.
        {{2034, 1, 1}, "癸", "丑牛"},
        {{2034, 2, 19}, "甲", "寅虎"},
    };
    for (const YearName& n : names) {
        const DateTime d = day(n.date.year, n.date.month, n.date.day);
        EXPECT_EQ(YearStemOfDate(d), n.stem) << formatIsoDate(d);
        EXPECT_EQ(AnimalsYearOfDate(d), n.animal) << formatIsoDate(d);
    }
    EXPECT_EQ(AnimalsYearOfDate(day(2051, 1, 1)), "");
    EXPECT_EQ(YearStemOfDate(day(1900, 12, 31)), "");
}

// Over the whole range the year name changes exactly on the lunar new year, stepping
// through the cycle of sixty.
TEST(YearNames, ChangeOnlyOnNewYearsDayOverTheRange) {
    const std::string stems = "甲乙丙丁戊己庚辛壬癸";
    const std::vector<std::string> animals = {"子鼠", "丑牛", "寅虎", "卯兔", "辰龙", "巳蛇",
                                              "午马", "未羊", "申猴", "酉鸡", "戌狗", "亥猪"};
    const auto stemIndex = [&](const std::string& s) { return stems.find(s) / 3; };
    const auto animalIndex = [&](const std::string& s) {
        for (std::size_t i = 0; i < animals.size(); ++i)
            if (animals[i] == s) return i;
        return animals.size();
    };
    std::string stem = YearStemOfDate(kFirstDay), animal = AnimalsYearOfDate(kFirstDay);
    for (DateTime d = kFirstDay + 1; d <= kLastDay; d += 1) {
        const std::string nextStem = YearStemOfDate(d), nextAnimal = AnimalsYearOfDate(d);
        if (LunarDateCode(d) == 101) {
            ASSERT_EQ(stemIndex(nextStem), (stemIndex(stem) + 1) % 10) << formatIsoDate(d);
            ASSERT_EQ(animalIndex(nextAnimal), (animalIndex(animal) + 1) % 12) << formatIsoDate(d);
        } else {
            ASSERT_EQ(nextStem, stem) << formatIsoDate(d);
            ASSERT_EQ(nextAnimal, animal) << formatIsoDate(d);
        }
        stem = nextStem;
        animal = nextAnimal;
    }
}

TEST(Constellation, ThresholdDays) {
    const struct {
        int month, threshold;
        const char *before, *from;
    } signs[] = {
        {1, 20, "摩羯座", "水瓶座"},  {2, 19, "水瓶座", "双鱼座"},  {3, 21, "双鱼座", "白羊座"},
        {4, 20, "白羊座", "金牛座"},  {5, 21, "金牛座", "双子座"},  {6, 22, "双子座", "巨蟹座"},
        {7, 23, "巨蟹座", "狮子座"},  {8, 23, "狮子座", "处女座"},  {9, 23, "处女座", "天秤座"},
        {10, 24, "天秤座", "天蝎座"}, {11, 22, "天蝎座", "射手座"}, {12, 22, "射手座", "摩羯座"}};
    for (const auto& s : signs) {
        EXPECT_EQ(ConstellationOfDate(day(2011, s.month, 1)), s.before) << s.month;
        EXPECT_EQ(ConstellationOfDate(day(2011, s.month, s.threshold - 1)), s.before) << s.month;
        EXPECT_EQ(ConstellationOfDate(day(2011, s.month, s.threshold)), s.from) << s.month;
        EXPECT_EQ(ConstellationOfDate(day(2011, s.month, daysInMonth(2011, s.month))), s.from);
        const DateTime month = day(2012, s.month, 1);
        EXPECT_EQ(ConstellationOfDay(s.threshold - 1, month), s.before) << s.month;
        EXPECT_EQ(ConstellationOfDay(s.threshold, month), s.from) << s.month;
    }
    EXPECT_EQ(ConstellationOfDay(0, day(2011, 1, 1)), "");
    EXPECT_EQ(ConstellationOfDay(29, day(2011, 2, 1)), "");
    EXPECT_EQ(ConstellationOfDay(29, day(2012, 2, 1)), "双鱼座");
}

}  // namespace
}  // namespace plumo::DateCn
