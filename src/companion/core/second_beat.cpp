#include "companion/core/second_beat.h"

#include <QDateTime>
#include <algorithm>

#include "base/date_time.h"

namespace plumo {

SecondBeat::SecondBeat(std::function<void()> work, Clock clock, QObject* parent)
    : QObject(parent), work_(std::move(work)), clock_(std::move(clock)) {
    if (!clock_) clock_ = [] { return QDateTime::currentMSecsSinceEpoch(); };
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);  // a coarse timer may slip into the next second
    connect(&timer_, &QTimer::timeout, this, &SecondBeat::beat);
}

void SecondBeat::start() {
    if (active_) return;
    active_ = true;
    const std::int64_t now = clock_();
    // This second's work waits for the timer (or an earlier wake-up), as every later one.
    doneSecond_ = std::numeric_limits<std::int64_t>::min();
    scheduleAfter(floorDiv(now, 1000) - 1, now);
}

void SecondBeat::stop() {
    active_ = false;
    timer_.stop();
}

void SecondBeat::awake() {
    if (!active_ || beatQueued_ || floorDiv(clock_(), 1000) == doneSecond_) return;
    beatQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            beatQueued_ = false;
            if (active_) beat();
        },
        Qt::QueuedConnection);
}

void SecondBeat::beat() {
    if (!active_) return;
    const std::int64_t second = floorDiv(clock_(), 1000);
    // A clock set back makes an earlier second new again: it gets its work too.
    if (second != doneSecond_) {
        doneSecond_ = second;
        work_();
        if (!active_) return;  // the work stopped the beat
    }
    scheduleAfter(doneSecond_, clock_());
}

void SecondBeat::scheduleAfter(std::int64_t doneSecond, std::int64_t nowMs) {
    const std::int64_t wake = (doneSecond + 1) * 1000 + kTimerPhaseMs;
    timer_.start(static_cast<int>(std::clamp<std::int64_t>(wake - nowMs, 0, 2000)));
}

}  // namespace plumo
