#pragma once

#include "platform/clock.h"

namespace plumo::test {

// A clock that stands still until moved; installs itself for its lifetime.
class FakeClock final : public Clock {
public:
    explicit FakeClock(DateTime start);
    ~FakeClock() override;
    DateTime now() const override { return now_; }
    void set(DateTime value) { now_ = value; }
    void set(int y, int mo, int d, int h = 0, int mi = 0, int s = 0);
    void advanceSeconds(double seconds) { now_ += seconds / 86400.0; }

private:
    DateTime now_;
    Clock* previous_;
};

}  // namespace plumo::test
