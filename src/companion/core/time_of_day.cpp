#include "companion/core/time_of_day.h"

#include <cmath>

namespace plumo {
namespace {

// True when D from:00:00 < now < D to:00:00, D being the day of `now`.
bool strictlyBetween(DateTime now, int fromHour, int toHour) {
    const DateTime day = dateOf(now);
    return now > day + encodeTime(fromHour, 0, 0) &&
           now < day + (toHour == 24 ? 1.0 : encodeTime(toHour, 0, 0));
}

}  // namespace

std::string timeOfDayPrefix(DateTime now) {
    if (strictlyBetween(now, 5, 10)) return "早上好,";
    if (strictlyBetween(now, 13, 18)) return "下午好,";
    if (strictlyBetween(now, 19, 22)) return "晚上好,";
    if (isLateNight(now)) return "很晚了注意休息,";
    return {};
}

bool isLateNight(DateTime now) { return strictlyBetween(now, 0, 4); }

std::uint32_t randomSeed(DateTime now) {
    // Milliseconds since 1899 need 42 bits: fold the high half onto the low one.
    const auto ms = static_cast<std::uint64_t>(std::llround(std::fabs(now) * 86'400'000.0));
    return static_cast<std::uint32_t>(ms ^ (ms >> 32));
}

std::string greetingPhrase(unsigned randomValue) {
    return kGreetingPhrases[randomValue % kGreetingPhrases.size()];
}

}  // namespace plumo
