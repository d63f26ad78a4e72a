#include "memo/wait_clock.h"

#include <sqlite3.h>

namespace plumo {
namespace {

class RealWaitClock : public WaitClock {
public:
    std::chrono::steady_clock::time_point now() override {
        return std::chrono::steady_clock::now();
    }
    void sleep(std::chrono::milliseconds duration) override {
        sqlite3_sleep(static_cast<int>(duration.count()));
    }
};

}  // namespace

WaitClock& realWaitClock() {
    static RealWaitClock clock;
    return clock;
}

}  // namespace plumo
