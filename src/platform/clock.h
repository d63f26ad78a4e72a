#pragma once

// The one clock seam: everything that reads the local time asks currentClock().
// Tests install a fake with setCurrentClock() and move it.

#include "base/date_time.h"

namespace plumo {

class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime now() const = 0;  // local date and time, to the millisecond
};

class SystemClock final : public Clock {
public:
    DateTime now() const override;
};

Clock& currentClock();
// Installs a clock for the whole program (nullptr restores the system clock);
// returns the one installed before.
Clock* setCurrentClock(Clock* clock);

}  // namespace plumo
