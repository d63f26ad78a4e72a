#include "companion/core/companion_tick.h"

#include <gtest/gtest.h>

#include "companion/core/memo_answers.h"
#include "support/fake_wait_clock.h"
#include "tick_fixture.h"

namespace plumo {
namespace {

using test::TickFixture;

constexpr DateTime kHalfSecond = 0.5 / 86400;

struct Voice {
    const char* soundset;
    const char* sound;  // what 13:00:00 plays, relative to the program folder; "" for nothing
};

class HourlyChimeTest : public TickFixture, public ::testing::WithParamInterface<Voice> {};

TEST_P(HourlyChimeTest, OnlyTheFullHourChimes) {
    dir.write("sound/vr/13.mp3", "");  // the vr voice has this hour
    state.soundset = QString::fromUtf8(GetParam().soundset);
    tickEverySecond(at(12, 59, 58), at(13, 0, 1));
    const QString expected = QString::fromUtf8(GetParam().sound);
    EXPECT_EQ(played(), expected.isEmpty() ? QStringList() : QStringList{expected});
    EXPECT_TRUE(boxes.errors.isEmpty());
    EXPECT_TRUE(view.said.empty());
}

INSTANTIATE_TEST_SUITE_P(Voices, HourlyChimeTest,
                         ::testing::Values(Voice{"0", "sound/vr/13.mp3"},
                                           Voice{"1", "sound/pc/13.mp3"},
                                           Voice{"2", "sound/dingding.mp3"}, Voice{"3", ""},
                                           Voice{"loud", ""}, Voice{"", ""}));

TEST_F(TickFixture, MidnightChimesHourZeroAndNoChimeWithoutTimeset) {
    tickEverySecond(at(23, 59, 59, 4), at(0, 0, 1));
    EXPECT_EQ(played(), QStringList{"sound/pc/0.mp3"});  // vr has no 0.mp3 here

    player.played.clear();
    for (const char* timeset : {"off", "", "On"}) {
        state.timeset = QString::fromUtf8(timeset);
        tickEverySecond(at(13, 59, 59), at(14, 0, 0));
        tickEverySecond(at(14, 59, 59), at(15, 0, 0));
    }
    EXPECT_TRUE(played().isEmpty());
}

TEST_F(TickFixture, ALateTickStillChimesTheSkippedFullHourOnce) {
    tickAt(at(12, 59, 58));
    tickAt(at(13, 0, 3));  // 12:59:59 to 13:00:02 got no tick of their own
    tickAt(at(13, 0, 4));
    EXPECT_EQ(played(), QStringList{"sound/pc/13.mp3"});
}

TEST_F(TickFixture, ADueItemIsAnnouncedInItsSecond) {
    const auto id = addItem("交报告", at(14, 30, 0));
    addItem("closed", at(14, 30, 0), 1);
    tickEverySecond(at(14, 29, 58), at(14, 30, 2));
    ASSERT_EQ(view.said.size(), 1u);
    EXPECT_NEAR(view.said[0].first, at(14, 30, 0), kHalfSecond);
    EXPECT_EQ(view.said[0].second, QStringLiteral("交报告"));
    EXPECT_EQ(state.reminderid, id);
    EXPECT_TRUE(state.answering);
    EXPECT_TRUE(view.visible[AnswerItem::Postpone]);
    EXPECT_EQ(view.captions[AnswerItem::GotIt], kRemindNoMoreCaption);
    EXPECT_EQ(view.captions[AnswerItem::View], kViewCaption);
    EXPECT_EQ(played(), QStringList{"sound/reminder.mp3"});
}

TEST_F(TickFixture, AnItemDueInASkippedSecondIsAnnouncedOnceByTheNextTick) {
    addItem("skipped", at(14, 30, 0));
    tickAt(at(14, 29, 59));
    tickAt(at(14, 30, 1));
    tickAt(at(14, 30, 2));
    EXPECT_EQ(saidTexts(), QStringList{"skipped"});
    EXPECT_EQ(played(), QStringList{"sound/reminder.mp3"});
}

TEST_F(TickFixture, AnItemDueAtTheFullHourReplacesTheChime) {
    addItem("会议", at(13, 0, 0));
    tickEverySecond(at(12, 59, 59), at(13, 0, 0));
    EXPECT_EQ(view.bubble, QStringLiteral("会议"));
    EXPECT_EQ(played(), QStringList{"sound/reminder.mp3"});
}

TEST_F(TickFixture, OfTwoItemsDueInOneSecondTheFirstIsAnnounced) {
    const auto first = addItem("first", at(14, 30, 0));
    addItem("second", at(14, 30, 0));
    tickEverySecond(at(14, 29, 59), at(14, 30, 1));
    EXPECT_EQ(saidTexts(), QStringList{"first"});
    EXPECT_EQ(state.reminderid, first);
}

TEST_F(TickFixture, ALaterAnnouncementReplacesTheOneBefore) {
    addItem("first", at(14, 30, 0));
    const auto second = addItem("second", at(14, 30, 1));
    tickAt(at(14, 29, 59));
    tickAt(at(14, 30, 2));  // both in one late tick: the later one is what she says
    EXPECT_EQ(saidTexts(), QStringList({"first", "second"}));
    EXPECT_EQ(view.bubble, QStringLiteral("second"));
    EXPECT_EQ(state.reminderid, second);
    EXPECT_EQ(played(), QStringList{"sound/reminder.mp3"});
}

TEST_F(TickFixture, LateNightAdviceEveryTwelveHundredTicksUntilFour) {
    state.timeset = QStringLiteral("off");
    tickEverySecond(at(1, 10, 0), at(4, 40, 0));
    QList<DateTime> times;
    for (const auto& [when, text] : view.said) {
        times << when;
        EXPECT_TRUE(std::find(kLateNightAdvice.begin(), kLateNightAdvice.end(),
                              text.toStdString()) != kLateNightAdvice.end())
            << text.toStdString();
    }
    QList<DateTime> expected;
    for (DateTime t = at(1, 10, 0); t < at(4, 0, 0); t += 20.0 / 1440) expected << t;
    ASSERT_EQ(times.size(), expected.size());
    for (qsizetype i = 0; i < times.size(); ++i) EXPECT_NEAR(times[i], expected[i], kHalfSecond);
    EXPECT_EQ(view.captions[AnswerItem::View], kShutDownCaption);
    EXPECT_TRUE(state.answering);
}

TEST_F(TickFixture, LateNightAdviceAtFiveToFourIsTheLast) {
    view.shown = false;
    state.timeset = QStringLiteral("off");
    tickEverySecond(at(3, 55, 0), at(4, 30, 0));
    ASSERT_EQ(view.said.size(), 1u);
    EXPECT_NEAR(view.said[0].first, at(3, 55, 0), kHalfSecond);
    EXPECT_TRUE(view.shown);  // the advice brings her back
    EXPECT_EQ(played(), QStringList{"sound/msg.mp3"});
}

TEST_F(TickFixture, TheLeftOutOverdueCountWaitsForAnEmptyBubbleAndAClosedMemoProgram) {
    state.overduechecked = false;  // start-up reported open plans instead
    state.timeset = QStringLiteral("off");
    addItem("overdue one", at(8, 0, 0));
    addItem("overdue two", at(8, 30, 0));
    view.bubble = QStringLiteral("你有3项未完成的计划");
    tickEverySecond(at(9, 0, 0), at(9, 0, 2));
    EXPECT_FALSE(state.overduechecked);

    view.bubble.clear();
    view.memo = QStringLiteral("关闭备忘录");
    tickAt(at(9, 0, 3));
    EXPECT_FALSE(state.overduechecked);

    view.memo = QStringLiteral("备忘录");
    tickAt(at(9, 0, 4));
    EXPECT_TRUE(state.overduechecked);
    EXPECT_EQ(saidTexts(), QStringList{"你有2项已经过期的提醒事项"});
    EXPECT_TRUE(state.answering);
    EXPECT_EQ(played(), QStringList{"sound/msg.mp3"});

    view.bubble.clear();
    addItem("overdue three", at(8, 45, 0));
    tickEverySecond(at(9, 0, 5), at(9, 0, 10));
    EXPECT_EQ(view.said.size(), 1u);  // only once a run
}

TEST_F(TickFixture, AfterAnHourAsleepTheOverdueCountTellsWhatFellDue) {
    state.timeset = QStringLiteral("off");
    addItem("at ten past", at(10, 10, 0));
    addItem("at half past", at(10, 30, 0));
    tickAt(at(10, 0, 0));
    tickAt(at(11, 0, 5));
    EXPECT_EQ(saidTexts(), QStringList{"你有2项已经过期的提醒事项"});
    EXPECT_EQ(view.captions[AnswerItem::View], kViewCaption);
    EXPECT_TRUE(state.answering);
    EXPECT_EQ(played(), QStringList{"sound/msg.mp3"});

    tickEverySecond(at(11, 0, 6), at(11, 0, 10));
    EXPECT_EQ(view.said.size(), 1u);
}

TEST_F(TickFixture, AfterSleepTheCountWaitsForTheAnnouncedItemsAnswer) {
    addItem("waiting", at(10, 0, 0));
    addItem("fell due asleep", at(10, 30, 0));
    tickAt(at(10, 0, 0));
    tickAt(at(11, 0, 0));
    EXPECT_EQ(saidTexts(), QStringList{"waiting"});

    view.visible[AnswerItem::Postpone] = false;  // answered
    tickAt(at(11, 0, 1));
    EXPECT_EQ(saidTexts(), QStringList({"waiting", "你有2项已经过期的提醒事项"}));
}

TEST_F(TickFixture, AfterViewTheCountIsNotHeldAndTakesOverTheAnswerMenu) {
    state.timeset = QStringLiteral("off");
    addItem("viewed", at(10, 0, 0));
    addItem("fell due asleep", at(10, 30, 0));
    tickAt(at(10, 0, 0));
    state.answering = false;  // "查看": the item's answers stay in the menu, not armed
    tickAt(at(11, 0, 0));
    EXPECT_EQ(saidTexts(), QStringList({"viewed", "你有2项已经过期的提醒事项"}));
    EXPECT_TRUE(state.answering);
    // No answer to the count reaches the item announced before.
    EXPECT_FALSE(view.visible[AnswerItem::Postpone]);
    EXPECT_EQ(view.captions[AnswerItem::GotIt], kGotItCaption);
    EXPECT_EQ(view.captions[AnswerItem::View], kViewCaption);
}

TEST_F(TickFixture, TheChimeKeepsTimeThroughADatabaseOutage) {
    addItem("in the outage", at(13, 0, 10));
    tickAt(at(12, 59, 29));
    raw->exec("alter table log rename to log_away");
    tickEverySecond(at(12, 59, 30), at(13, 0, 0));
    EXPECT_EQ(played(), QStringList{"sound/pc/13.mp3"});  // on the hour, not after

    // Held up past what a tick catches up one by one: the item is counted, not lost.
    tickEverySecond(at(13, 0, 1), at(13, 0, 40));
    raw->exec("alter table log_away rename to log");
    tickAt(at(13, 0, 41));
    EXPECT_EQ(saidTexts(), QStringList{"你有1项已经过期的提醒事项"});
    EXPECT_EQ(boxes.errors.size(), 1);
}

TEST_F(TickFixture, TheCatchUpCoversSixtySecondsOneByOne) {
    state.timeset = QStringLiteral("off");
    addItem("sixty seconds late", at(9, 0, 1));
    tickAt(at(9, 0, 0));
    tickAt(at(9, 1, 0));  // 60 s since the last tick: still announced in its own second
    EXPECT_EQ(saidTexts(), QStringList{"sixty seconds late"});

    addItem("sixty-one seconds late", at(9, 1, 1));
    view.visible[AnswerItem::Postpone] = false;
    state.answering = false;
    tickAt(at(9, 2, 1));  // 61 s: a gap, counted instead
    EXPECT_EQ(saidTexts(), QStringList({"sixty seconds late", "你有2项已经过期的提醒事项"}));
}

TEST_F(TickFixture, AClockMovedBackAnnouncesNothingTwice) {
    addItem("once", at(14, 30, 0));
    tickEverySecond(at(12, 59, 58), at(13, 0, 1));
    tickEverySecond(at(14, 29, 58), at(14, 30, 2));
    tickEverySecond(at(12, 59, 50), at(13, 0, 10));  // back more than an hour
    tickEverySecond(at(14, 29, 50), at(14, 30, 10));
    EXPECT_EQ(saidTexts(), QStringList{"once"});
    EXPECT_EQ(played(), QStringList({"sound/pc/13.mp3", "sound/reminder.mp3"}));

    // An item added meanwhile for a second the clock passes again is still announced.
    addItem("new", at(14, 29, 0));
    tickAt(at(14, 28, 59));
    tickAt(at(14, 29, 0));
    EXPECT_EQ(saidTexts(), QStringList({"once", "new"}));
}

TEST_F(TickFixture, AClockMovedBackMoreThanADayAnnouncesNothingTwice) {
    state.timeset = QStringLiteral("off");
    addItem("once only", at(14, 30, 0, 4));
    tickEverySecond(at(14, 29, 59, 4), at(14, 30, 1, 4));
    tickAt(at(15, 0, 0, 5));                               // a day later
    tickEverySecond(at(14, 29, 59, 4), at(14, 30, 1, 4));  // and back again
    tickAt(at(15, 0, 0, 5));
    EXPECT_EQ(saidTexts().count(QStringLiteral("once only")), 1);
}

TEST_F(TickFixture, ADatabaseOutageShowsOneBoxAndItsMissedItemsAfterwards) {
    addItem("during the outage", at(9, 0, 5));
    tickAt(at(9, 0, 0));
    raw->exec("alter table log rename to log_away");
    tickEverySecond(at(9, 0, 1), at(9, 0, 10));
    ASSERT_EQ(boxes.errors.size(), 1);
    EXPECT_TRUE(boxes.errors[0].contains(QStringLiteral("log"))) << boxes.errors[0].toStdString();
    EXPECT_TRUE(view.said.empty());

    raw->exec("alter table log_away rename to log");
    tickAt(at(9, 0, 11));  // covers the seconds the outage held up
    EXPECT_EQ(saidTexts(), QStringList{"during the outage"});

    raw->exec("alter table log rename to log_away");
    tickAt(at(9, 0, 12));
    EXPECT_EQ(boxes.errors.size(), 2);  // a new outage, a new box
}

TEST_F(TickFixture, ABusyDatabaseHoldsTheSecondForTheNextTickWithoutABox) {
    // Readers wait for a writer only with a rollback journal.
    tick.reset();
    database.reset();
    raw->exec("PRAGMA journal_mode=DELETE");
    database = MemoDatabase::open(dir / "config/d.ini");
    tick = std::make_unique<CompanionTick>(state, view, *database, &player, boxes);

    test::FakeWaitClock waitClock;
    database->setWaitClock(&waitClock);

    addItem("while busy", at(9, 0, 1));
    tickAt(at(9, 0, 0));
    test::RawConnection writer(dir / "config/d.ini");
    writer.exec("BEGIN EXCLUSIVE");
    writer.exec("insert into log(title) values('being written')");
    tickAt(at(9, 0, 1));
    EXPECT_TRUE(view.said.empty());
    EXPECT_TRUE(boxes.errors.isEmpty());
    EXPECT_EQ(waitClock.slept(), std::chrono::milliseconds(100));  // the tick's whole wait

    writer.exec("COMMIT");
    tickAt(at(9, 0, 2));
    EXPECT_EQ(saidTexts(), QStringList{"while busy"});
}

TEST_F(TickFixture, AnItemWithoutTitleIsSkippedAndTheTickGoesOn) {
    raw->addItem(nullptr, 0, 0, at(2, 0, 0));
    addItem("next second", at(2, 0, 1));
    tickEverySecond(at(1, 59, 59), at(2, 0, 5));
    EXPECT_EQ(boxes.errors.size(), 1);
    ASSERT_EQ(view.said.size(), 2u);
    EXPECT_NE(view.said[0].second, QStringLiteral("next second"));  // the late-night advice
    EXPECT_EQ(view.said[1].second, QStringLiteral("next second"));
}

}  // namespace
}  // namespace plumo
