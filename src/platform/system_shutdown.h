#pragma once

// Shutting the computer down at once, the answer to the late-night offer.

namespace plumo {

class SystemShutdown {
public:
    virtual ~SystemShutdown() = default;
    // Asks the system to power off now. Returns at once; the outcome is not reported.
    virtual void powerOff() = 0;
};

}  // namespace plumo
