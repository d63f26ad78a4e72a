#include "platform/clock.h"

#include <chrono>

namespace plumo {

DateTime SystemClock::now() const {
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
    const std::int64_t seconds = ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
    const int millis = static_cast<int>(ms - seconds * 1000);
    return fromUnixTime(seconds) + millis / 86'400'000.0;
}

namespace {
SystemClock systemClock;
Clock* installed = nullptr;
}  // namespace

Clock& currentClock() { return installed ? *installed : systemClock; }

Clock* setCurrentClock(Clock* clock) {
    Clock* previous = installed;
    installed = clock;
    return previous;
}

}  // namespace plumo
