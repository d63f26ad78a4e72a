#include "companion/core/second_beat.h"

#include <gtest/gtest.h>
#include <QCoreApplication>

#include <vector>

namespace plumo {
namespace {

struct Beating {
    std::int64_t nowMs = 1'000'000'000'200;  // 0.2 s into a second
    std::vector<std::int64_t> workAt;        // the clock at each run of the work
    SecondBeat beat{[this] { workAt.push_back(nowMs); }, [this] { return nowMs; }};

    void settle() { QCoreApplication::sendPostedEvents(); }
};

TEST(SecondBeatTest, WakeUpsInOneSecondRunItsWorkOnceAndOnlyAfterTheCallerReturns) {
    Beating b;
    b.beat.start();
    b.beat.awake();
    b.beat.awake();
    EXPECT_TRUE(b.workAt.empty());  // queued, never inside the waking caller
    b.settle();
    b.nowMs += 500;
    b.beat.awake();
    b.settle();
    b.beat.beat();  // the timer of the same second finds its work done
    ASSERT_EQ(b.workAt.size(), 1u);

    b.nowMs += 400;  // the next second
    b.beat.awake();
    b.settle();
    b.beat.beat();
    EXPECT_EQ(b.workAt.size(), 2u);
}

TEST(SecondBeatTest, ClockSetBackMakesEarlierSecondsNewAndStopEndsTheWork) {
    Beating b;
    b.beat.start();
    b.beat.beat();
    b.nowMs -= 3'600'000;
    b.beat.beat();
    EXPECT_EQ(b.workAt.size(), 2u);

    b.nowMs += 1000;
    b.beat.awake();
    b.beat.stop();
    b.settle();
    b.beat.beat();
    EXPECT_EQ(b.workAt.size(), 2u);
    EXPECT_FALSE(b.beat.isActive());
}

}  // namespace
}  // namespace plumo
