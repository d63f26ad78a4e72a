#pragma once

// A wait clock for memo database connections whose sleep only moves its own time, and
// that can run a step of the test when its time reaches a given point.

#include <chrono>
#include <functional>
#include <optional>

#include "memo/wait_clock.h"

namespace plumo::test {

class FakeWaitClock final : public WaitClock {
public:
    std::chrono::steady_clock::time_point now() override { return now_; }
    void sleep(std::chrono::milliseconds duration) override {
        ++sleeps_;
        slept_ += duration;
        now_ += duration;
        if (when_ && slept_ >= *when_) {
            when_.reset();
            action_();
        }
    }

    std::chrono::milliseconds slept() const { return slept_; }
    int sleeps() const { return sleeps_; }
    // Runs `action` once, in the sleep after which the total slept reaches `slept`.
    void after(std::chrono::milliseconds slept, std::function<void()> action) {
        when_ = slept;
        action_ = std::move(action);
    }

private:
    std::chrono::steady_clock::time_point now_{std::chrono::hours(1)};
    std::chrono::milliseconds slept_{0};
    int sleeps_ = 0;
    std::optional<std::chrono::milliseconds> when_;
    std::function<void()> action_;
};

}  // namespace plumo::test
