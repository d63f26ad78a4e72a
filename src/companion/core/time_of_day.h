#pragma once

// The first words of the day: a prefix chosen by the time of day and one of three
// greeting phrases. Texts are UTF-8.

#include <array>
#include <cstdint>
#include <string>

#include "base/date_time.h"

namespace plumo {

inline constexpr std::array<const char*, 3> kGreetingPhrases = {
    "需要我为您做什么吗?",
    "有什么可以为您效劳吗",
    "您好，我能为您做什么吗",
};

// "早上好," between 05:00 and 10:00, "下午好," between 13:00 and 18:00, "晚上好,"
// between 19:00 and 22:00, "很晚了注意休息," between midnight and 04:00; every bound
// is exclusive, and any other time gives an empty prefix.
std::string timeOfDayPrefix(DateTime now);

// True strictly between midnight and 04:00 of the value's day.
bool isLateNight(DateTime now);

// A seed for the random choices, from the clock to the millisecond: differs from one
// millisecond to the next over the whole date range.
std::uint32_t randomSeed(DateTime now);

// One of the greeting phrases, chosen with equal chance by `randomValue` (any integer).
std::string greetingPhrase(unsigned randomValue);

}  // namespace plumo
