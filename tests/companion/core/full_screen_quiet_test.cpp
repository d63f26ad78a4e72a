#include "companion/core/full_screen_quiet.h"

#include <gtest/gtest.h>

#include "support/fake_active_window_watch.h"
#include "tick_fixture.h"

namespace plumo {
namespace {

using test::FakeActiveWindowWatch;

TEST(FullScreenQuiet, OnlyAnotherProgramsFullScreenWindowOnHerScreenCounts) {
    FakeActiveWindowWatch watch;
    const FullScreenQuiet quiet(&watch);
    EXPECT_FALSE(quiet.applies());
    EXPECT_EQ(quiet.soundAction(SoundReason::Chime), SoundAction::PlayNow);

    watch.showFullScreen();
    EXPECT_TRUE(quiet.applies());
    EXPECT_FALSE(quiet.mayRaise());
    EXPECT_EQ(quiet.soundAction(SoundReason::Chime), SoundAction::Drop);
    EXPECT_EQ(quiet.soundAction(SoundReason::Message), SoundAction::Drop);
    EXPECT_EQ(quiet.soundAction(SoundReason::DueItem), SoundAction::Hold);

    watch.window.ownWindow = true;
    EXPECT_FALSE(quiet.applies());
    EXPECT_TRUE(quiet.mayRaise());
    EXPECT_EQ(quiet.soundAction(SoundReason::DueItem), SoundAction::PlayNow);

    watch.window = {true, false, false};  // full-screen on another monitor
    EXPECT_FALSE(quiet.applies());
    watch.window = {false, false, true};
    EXPECT_FALSE(quiet.applies());
}

TEST(FullScreenQuiet, WithoutAWatchSheIsNeverQuiet) {
    const FullScreenQuiet quiet;
    EXPECT_FALSE(quiet.applies());
    EXPECT_EQ(quiet.soundAction(SoundReason::DueItem), SoundAction::PlayNow);
}

// The tick under a full-screen window.
class QuietTick : public test::TickFixture {
protected:
    QuietTick() {
        tick = std::make_unique<CompanionTick>(state, view, *database, &player, boxes, &watch);
    }
    FakeActiveWindowWatch watch;
};

TEST_F(QuietTick, TheChimeFallsSilentForThatHour) {
    watch.showFullScreen();
    tickEverySecond(at(12, 59, 58), at(13, 0, 1));
    watch.leaveFullScreen();
    tickEverySecond(at(13, 0, 2), at(13, 0, 4));
    EXPECT_TRUE(played().isEmpty());

    tickEverySecond(at(13, 59, 59), at(14, 0, 0));
    EXPECT_EQ(played(), QStringList{"sound/pc/14.mp3"});
}

TEST_F(QuietTick, ADueItemIsSaidAtOnceAndSoundsOnceTheFullScreenWindowIsGone) {
    addItem("交报告", at(14, 30, 0));
    watch.showFullScreen();
    tickEverySecond(at(14, 29, 59), at(14, 30, 5));
    EXPECT_EQ(saidTexts(), QStringList{"交报告"});
    EXPECT_EQ(view.bubble, QStringLiteral("交报告"));
    EXPECT_TRUE(played().isEmpty());

    watch.leaveFullScreen();
    tickAt(at(14, 30, 6));
    EXPECT_EQ(played(), QStringList{"sound/reminder.mp3"});
    tickEverySecond(at(14, 30, 7), at(14, 30, 9));
    EXPECT_EQ(played(), QStringList{"sound/reminder.mp3"});
}

TEST_F(QuietTick, ADueItemAnsweredMeanwhileStaysSilent) {
    addItem("交报告", at(14, 30, 0));
    watch.showFullScreen();
    tickEverySecond(at(14, 29, 59), at(14, 30, 1));
    // "知道了": the due item's answers leave the menu.
    view.visible[AnswerItem::Postpone] = false;
    state.answering = false;
    watch.leaveFullScreen();
    tickEverySecond(at(14, 30, 2), at(14, 30, 4));
    EXPECT_TRUE(played().isEmpty());
}

TEST_F(QuietTick, AViewedDueItemStaysSilent) {
    addItem("交报告", at(14, 30, 0));
    watch.showFullScreen();
    tickEverySecond(at(14, 29, 59), at(14, 30, 1));
    state.answering = false;  // "查看": the memo program shows the item
    watch.leaveFullScreen();
    tickEverySecond(at(14, 30, 2), at(14, 30, 4));
    EXPECT_TRUE(played().isEmpty());
}

TEST_F(QuietTick, TheLaterOfTwoHeldItemsSoundsOnce) {
    addItem("first", at(14, 30, 0));
    const auto second = addItem("second", at(14, 30, 3));
    watch.showFullScreen();
    tickEverySecond(at(14, 29, 59), at(14, 30, 5));
    EXPECT_EQ(state.reminderid, second);
    watch.leaveFullScreen();
    tickEverySecond(at(14, 30, 6), at(14, 30, 8));
    EXPECT_EQ(played(), QStringList{"sound/reminder.mp3"});
}

TEST_F(QuietTick, HerOwnFullScreenWindowNeverCounts) {
    addItem("交报告", at(14, 30, 0));
    watch.window = {true, true, true};
    tickEverySecond(at(13, 59, 59), at(14, 0, 0));
    tickEverySecond(at(14, 29, 59), at(14, 30, 0));
    EXPECT_EQ(played(), QStringList({"sound/pc/14.mp3", "sound/reminder.mp3"}));
}

TEST_F(QuietTick, AFullScreenWindowOnAnotherMonitorDoesNotCount) {
    watch.window = {true, false, false};
    tickEverySecond(at(13, 59, 59), at(14, 0, 0));
    EXPECT_EQ(played(), QStringList{"sound/pc/14.mp3"});
}

}  // namespace
}  // namespace plumo
