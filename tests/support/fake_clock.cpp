#include "support/fake_clock.h"

namespace plumo::test {

FakeClock::FakeClock(DateTime start) : now_(start), previous_(setCurrentClock(this)) {}

FakeClock::~FakeClock() { setCurrentClock(previous_); }

void FakeClock::set(int y, int mo, int d, int h, int mi, int s) {
    now_ = encodeDateTime(y, mo, d, h, mi, s);
}

}  // namespace plumo::test
