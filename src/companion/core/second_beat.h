#pragma once

// Work done once in every second of the clock, in one wake-up. Its own timer runs it late
// in each second; when the program is awake anyway earlier in that second (a frame of an
// animation), the second's work rides on that wake-up instead, and the timer moves on to
// the next second. A second's work runs once however often the program wakes in it.

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <limits>

namespace plumo {

class SecondBeat : public QObject {
public:
    // Milliseconds since the epoch.
    using Clock = std::function<std::int64_t()>;
    // How far into each second the timer wakes when nothing else did: late enough that
    // most other wake-ups come before it, early enough that a late timer stays in its second.
    static constexpr int kTimerPhaseMs = 850;

    // `clock` defaults to the system clock.
    explicit SecondBeat(std::function<void()> work, Clock clock = {}, QObject* parent = nullptr);

    // Starts beating; this second's work runs at the timer's next wake-up.
    void start();
    void stop();
    bool isActive() const { return active_; }

    // The program is awake: runs this second's work soon (on the event loop's current turn,
    // never inside the caller) unless it has run.
    void awake();
    // Runs this second's work now unless it has run.
    void beat();

private:
    void scheduleAfter(std::int64_t doneSecond, std::int64_t nowMs);

    std::function<void()> work_;
    Clock clock_;
    QTimer timer_;
    bool active_ = false;
    bool beatQueued_ = false;
    std::int64_t doneSecond_ = std::numeric_limits<std::int64_t>::min();
};

}  // namespace plumo
