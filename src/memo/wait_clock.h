#pragma once

// How a memo database connection waits for another program's lock: the time it reads
// and the pause it takes between tries. Tests hand in a clock whose pause only moves
// its own time.

#include <chrono>

namespace plumo {

class WaitClock {
public:
    virtual ~WaitClock() = default;
    virtual std::chrono::steady_clock::time_point now() = 0;
    virtual void sleep(std::chrono::milliseconds duration) = 0;
};

// The steady clock and the engine's own sleep.
WaitClock& realWaitClock();

}  // namespace plumo
