// How a memo database connection waits for another program's lock: the usual wait
// of each statement, and the budgets that bound all waits while they live.

#include <sqlite3.h>

#include <algorithm>
#include <utility>

#include "memo/memo_database.h"
#include "memo/wait_clock.h"

namespace plumo {

WaitBudget::WaitBudget(WaitBudget&& other) noexcept
    : database_(std::exchange(other.database_, nullptr)), previous_(other.previous_) {}

WaitBudget::~WaitBudget() {
    if (!database_) return;
    database_->deadline_ = previous_;
}

WaitBudget MemoDatabase::waitAtMost(std::chrono::milliseconds budget) {
    const std::optional<TimePoint> previous = deadline_;
    const TimePoint deadline = waitClock().now() + budget;
    deadline_ = previous ? std::min(*previous, deadline) : deadline;
    return WaitBudget(*this, previous);
}

void MemoDatabase::setUsualWait(std::chrono::milliseconds wait) { usualWait_ = wait; }

void MemoDatabase::setWaitClock(WaitClock* clock) { waitClock_ = clock; }

WaitClock& MemoDatabase::waitClock() { return waitClock_ ? *waitClock_ : realWaitClock(); }

int MemoDatabase::onBusy(void* database, int triesBefore) {
    return static_cast<MemoDatabase*>(database)->waitOnce(triesBefore) ? 1 : 0;
}

bool MemoDatabase::waitOnce(int triesBefore) {
    WaitClock& clock = waitClock();
    const TimePoint now = clock.now();
    // The engine counts the tries of each wait for a lock from zero.
    if (triesBefore == 0) waitStarted_ = now;
    const TimePoint deadline = deadline_ ? *deadline_ : waitStarted_ + usualWait_;
    if (now >= deadline) return false;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
    clock.sleep(std::min(kWaitStep, left));
    return true;
}

}  // namespace plumo
