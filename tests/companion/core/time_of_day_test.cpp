#include "companion/core/time_of_day.h"

#include <gtest/gtest.h>

#include <set>

namespace plumo {
namespace {

std::string prefixAt(int h, int m, int s, int ms = 0) {
    return timeOfDayPrefix(encodeDateTime(2026, 12, 7, h, m, s, ms));
}

TEST(TimeOfDay, EveryWindowWithItsExclusiveBounds) {
    struct Case {
        int h, m, s, ms;
        const char* prefix;
    };
    const Case cases[] = {
        {0, 0, 0, 0, ""},
        {0, 0, 0, 1, "很晚了注意休息,"},
        {3, 59, 59, 999, "很晚了注意休息,"},
        {4, 0, 0, 0, ""},
        {4, 30, 0, 0, ""},
        {5, 0, 0, 0, ""},
        {5, 0, 1, 0, "早上好,"},
        {8, 0, 0, 0, "早上好,"},
        {9, 59, 59, 0, "早上好,"},
        {10, 0, 0, 0, ""},
        {12, 0, 0, 0, ""},
        {13, 0, 0, 0, ""},
        {13, 0, 0, 1, "下午好,"},
        {14, 0, 0, 0, "下午好,"},
        {17, 59, 59, 0, "下午好,"},
        {18, 0, 0, 0, ""},
        {18, 30, 0, 0, ""},
        {19, 0, 0, 0, ""},
        {19, 0, 1, 0, "晚上好,"},
        {21, 59, 59, 999, "晚上好,"},
        {22, 0, 0, 0, ""},
        {23, 59, 59, 999, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(prefixAt(c.h, c.m, c.s, c.ms), c.prefix) << c.h << ":" << c.m << ":" << c.s;
}

TEST(TimeOfDay, LateNightSpan) {
    EXPECT_FALSE(isLateNight(encodeDateTime(2026, 1, 1, 0, 0, 0)));
    EXPECT_TRUE(isLateNight(encodeDateTime(2026, 1, 1, 1, 10, 0)));
    EXPECT_TRUE(isLateNight(encodeDateTime(2026, 1, 1, 3, 55, 0)));
    EXPECT_FALSE(isLateNight(encodeDateTime(2026, 1, 1, 4, 0, 0)));
    EXPECT_FALSE(isLateNight(encodeDateTime(2026, 1, 1, 4, 15, 0)));
}

TEST(TimeOfDay, GreetingPhrasesAllReachable) {
    std::set<std::string> seen;
    for (unsigned r = 0; r < 6; ++r) seen.insert(greetingPhrase(r));
    EXPECT_EQ(seen.size(), 3u);
}

TEST(TimeOfDay, RandomSeedChangesEveryMillisecondOverTheWholeRange) {
    for (const DateTime day :
         {encodeDate(1901, 1, 1), encodeDate(2026, 12, 7), encodeDate(2050, 12, 31)}) {
        std::set<std::uint32_t> seeds;
        for (int ms = 0; ms < 1000; ++ms)
            seeds.insert(randomSeed(day + encodeTime(23, 59, 58, ms)));
        EXPECT_EQ(seeds.size(), 1000u);
        EXPECT_EQ(randomSeed(day + 0.5), randomSeed(day + 0.5));
    }
}

}  // namespace
}  // namespace plumo
