#include "companion/core/memo_answers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "notavo_process.h"
#include "support/fake_clock.h"
#include "support/fake_companion_view.h"
#include "support/fake_memo_repeats.h"
#include "support/fake_program_launcher.h"
#include "support/fake_system_shutdown.h"
#include "support/recording_message_boxes.h"
#include "support/temp_dir.h"

namespace plumo {
namespace {

namespace fs = std::filesystem;

// A program folder with a memo database made by Notavo, the companion's view of it,
// and the answer menu acting on both.
class MemoAnswersTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir / "config");
        test::initMemoDatabase(databaseFile());
        raw = std::make_unique<test::RawConnection>(databaseFile());
        database = MemoDatabase::open(databaseFile());
        state.apppath = QStringLiteral("/opt/plumo/");
        state.datapath = QString::fromStdString(dir.path().string()) + QLatin1Char('/');
        // What the memo program finds when the memo button starts it.
        programs.onOpen = [this] {
            handOffAtStart = {readIfThere("mr.tmp"), readIfThere("mp.tmp")};
        };
        programs.table = &processes;
    }

    fs::path databaseFile() const { return dir / "config/d.ini"; }
    std::string readIfThere(const char* name) const {
        return fs::exists(dir / name) ? dir.read(name) : std::string("<none>");
    }
    void addPlan(const char* title) {
        const auto r = test::runNotavo({"--db", databaseFile().string(), "add", "--plan", title});
        ASSERT_EQ(r.exitStatus, 0) << r.err;
    }
    void addReminder(const char* title, const char* at) {
        const auto r = test::runNotavo({"--db", databaseFile().string(), "add", "--at", at, title});
        ASSERT_EQ(r.exitStatus, 0) << r.err;
    }
    // A due item with id 57, announced the way the tick announces it.
    void announceItem57() {
        const auto id = raw->addItem("交报告", 0, 0, encodeDateTime(2024, 3, 5, 14, 30, 0));
        raw->exec("update log set id=57 where id=" + std::to_string(id));
        state.reminderid = 57;
        state.answering = true;
        view.bubble = QStringLiteral("交报告");
        view.visible[AnswerItem::Postpone] = true;
        view.captions[AnswerItem::GotIt] = kRemindNoMoreCaption;
    }
    MemoAnswers answers() {
        return MemoAnswers(state, view, database->query(), repeats, launcher, boxes, shutdown);
    }
    // Reports an error the way start-up does: into the recording message boxes.
    ErrorReport report() {
        return [this](const QString& text) { boxes.error(text); };
    }
    std::string item57(const char* column) {
        return raw->scalarText(std::string("select ") + column + " from log where id=57");
    }

    test::TempDir dir;
    test::FakeClock clock{encodeDateTime(2024, 3, 5, 14, 0, 0)};
    std::unique_ptr<test::RawConnection> raw;
    std::unique_ptr<MemoDatabase> database;
    CompanionState state;
    test::FakeCompanionView view;
    test::FakeMemoRepeats repeats;
    test::RecordingMessageBoxes boxes;
    test::FakeSystemShutdown shutdown;
    test::FakeProcessTable processes;
    test::RecordingLauncher programs;
    MemoLauncher launcher{state, view, programs, processes};
    std::pair<std::string, std::string> handOffAtStart{"<not started>", "<not started>"};
};

TEST_F(MemoAnswersTest, OpenPlansAreCountedAndViewHandsTheMemoProgramAnEmptyPlanFile) {
    addPlan("plan one");
    addPlan("plan two");
    addPlan("plan three");
    addReminder("long overdue", "2024-03-01 09:00:00");

    ASSERT_TRUE(takeStartupCounts(state, view, database->query(), report(), "下午好,"));
    EXPECT_EQ(view.bubble, QStringLiteral("下午好,你有3项未完成的计划"));
    EXPECT_TRUE(state.answering);
    EXPECT_EQ(state.plancount, 3);
    EXPECT_FALSE(state.overduechecked);  // the overdue count is left to the tick

    dir.write("mp.tmp", "stale content");
    answers().view();
    EXPECT_EQ(handOffAtStart.second, "");  // written whole before the program started
    EXPECT_EQ(handOffAtStart.first, "<none>");
    EXPECT_EQ(programs.started, QStringList{"/opt/plumo/Notavo -s"});
    EXPECT_EQ(view.calls, QStringList({"toggleShown", "showCommandPanel"}));
    EXPECT_FALSE(state.answering);
    EXPECT_EQ(state.plancount, 0);
    EXPECT_TRUE(boxes.errors.isEmpty());
}

TEST_F(MemoAnswersTest, OverdueRemindersAreCountedWhenNoPlanIsOpen) {
    addReminder("overdue one", "2024-03-05 13:59:59");
    addReminder("overdue two", "2024-03-04 08:00:00");
    addReminder("due this second", "2024-03-05 14:00:00");
    addReminder("closed", "2024-03-01 08:00:00");
    raw->exec("update log set status=1 where title='closed'");
    addPlan("finished plan");
    raw->exec("update log set status=1 where flag=1");

    ASSERT_TRUE(takeStartupCounts(state, view, database->query(), report(), "下午好,"));
    EXPECT_EQ(view.bubble, QStringLiteral("下午好,你有2项已经过期的提醒事项"));
    EXPECT_EQ(state.overduecount, 2);
    EXPECT_TRUE(state.overduechecked);
    EXPECT_EQ(view.captions[AnswerItem::View], kViewCaption);

    dir.write("mr.tmp", "12\r\n");
    answers().view();
    EXPECT_EQ(handOffAtStart.first, "");
    EXPECT_EQ(handOffAtStart.second, "<none>");
}

TEST_F(MemoAnswersTest, ALaterOverdueCountOverThePlanCountViewsTheReminders) {
    addPlan("plan");
    addReminder("fell due later", "2024-03-05 13:00:00");
    ASSERT_TRUE(takeStartupCounts(state, view, database->query(), report(), "下午好,"));
    ASSERT_EQ(state.plancount, 1);

    // Left unanswered, the plan count gives way to the count the tick takes later.
    checkreminder(state, view, database->query());
    armAnswersForCount(state, view);
    EXPECT_EQ(view.bubble, QStringLiteral("你有1项已经过期的提醒事项"));
    answers().view();
    EXPECT_EQ(handOffAtStart, std::make_pair(std::string(), std::string("<none>")));
}

TEST_F(MemoAnswersTest, NothingToCountLeavesTheBubbleForTheGreeting) {
    addReminder("later today", "2024-03-05 18:00:00");
    EXPECT_FALSE(takeStartupCounts(state, view, database->query(), report(), "下午好,"));
    EXPECT_EQ(view.bubble, QString());
    EXPECT_FALSE(state.answering);
    EXPECT_TRUE(state.overduechecked);
}

TEST_F(MemoAnswersTest, AFailingCountShowsItsErrorAndLeavesTheBubbleAlone) {
    addPlan("plan");
    raw->exec("drop table log");
    view.bubble = QStringLiteral("before");
    EXPECT_FALSE(takeStartupCounts(state, view, database->query(), report(), "下午好,"));
    ASSERT_EQ(boxes.errors.size(), 1);
    EXPECT_TRUE(boxes.errors[0].contains(QStringLiteral("log"))) << boxes.errors[0].toStdString();
    EXPECT_EQ(view.bubble, QStringLiteral("before"));
    EXPECT_FALSE(state.answering);
}

TEST_F(MemoAnswersTest, ViewOnADueItemHandsOverItsId) {
    announceItem57();
    dir.write("mp.tmp", "");
    answers().view();
    EXPECT_EQ(handOffAtStart.first, "57\r\n");
    EXPECT_EQ(item57("status"), "0");
    // The due item's answers stay for the next time the menu is armed.
    EXPECT_TRUE(view.visible[AnswerItem::Postpone]);
    EXPECT_EQ(view.captions[AnswerItem::GotIt], kRemindNoMoreCaption);
    EXPECT_FALSE(state.answering);
}

TEST_F(MemoAnswersTest, RemindNoMoreClosesTheItemAndHidesHer) {
    announceItem57();
    answers().closeItem();
    EXPECT_EQ(item57("status"), "1");
    EXPECT_FALSE(view.visible[AnswerItem::Postpone]);
    EXPECT_EQ(view.captions[AnswerItem::GotIt], kGotItCaption);
    EXPECT_FALSE(state.answering);
    EXPECT_FALSE(view.shown);
    EXPECT_EQ(view.calls, QStringList({"toggleShown", "showCommandPanel"}));
}

TEST_F(MemoAnswersTest, OneDayLaterMovesTheReminderAndKeepsTheItemOpen) {
    announceItem57();
    answers().postponeItem();
    EXPECT_EQ(item57("status"), "0");
    EXPECT_DOUBLE_EQ(raw->scalarDouble("select reminder from log where id=57"),
                     encodeDateTime(2024, 3, 6, 14, 30, 0));
    EXPECT_FALSE(view.visible[AnswerItem::Postpone]);
    EXPECT_EQ(view.captions[AnswerItem::GotIt], kGotItCaption);
    EXPECT_FALSE(state.answering);
}

TEST_F(MemoAnswersTest, RemindNoMoreRollsARepeatingItemForwardOnceItIsClosed) {
    announceItem57();
    clock.set(2024, 3, 5, 14, 30, 2);
    std::string statusWhenRolled;
    repeats.during = [&] { statusWhenRolled = item57("status"); };
    answers().closeItem();
    EXPECT_EQ(repeats.calls, QStringList({"hasTable", "rollForward 57 2024-03-05 14:30:02"}));
    EXPECT_EQ(statusWhenRolled, "1");
    EXPECT_FALSE(view.visible[AnswerItem::Postpone]);
    EXPECT_FALSE(state.answering);
    EXPECT_EQ(view.calls, QStringList({"toggleShown", "showCommandPanel"}));
}

TEST_F(MemoAnswersTest, AFileWithoutRepeatRulesIsOnlyClosed) {
    announceItem57();
    repeats.table = false;
    answers().closeItem();
    EXPECT_EQ(repeats.calls, QStringList{"hasTable"});
    EXPECT_EQ(item57("status"), "1");
}

TEST_F(MemoAnswersTest, AFailedRollIsShownAndTheCloseStands) {
    announceItem57();
    repeats.failure = "database is locked";
    answers().closeItem();
    EXPECT_EQ(boxes.errors, QStringList{"database is locked"});
    EXPECT_EQ(item57("status"), "1");
    EXPECT_FALSE(view.visible[AnswerItem::Postpone]);
    EXPECT_FALSE(state.answering);
    EXPECT_EQ(view.calls, QStringList({"toggleShown", "showCommandPanel"}));
}

TEST_F(MemoAnswersTest, GotItAfterACountRollsNothing) {
    addReminder("overdue", "2024-03-01 09:00:00");
    state.reminderid = 1;
    ASSERT_TRUE(takeStartupCounts(state, view, database->query(), report(), ""));
    answers().closeItem();
    EXPECT_TRUE(repeats.calls.isEmpty());
}

TEST_F(MemoAnswersTest, OneDayLaterRollsNothing) {
    announceItem57();
    answers().postponeItem();
    EXPECT_TRUE(repeats.calls.isEmpty());
}

TEST_F(MemoAnswersTest, SnoozeMovesTheReminderFromTheCurrentSecondAndAnswersAsOneDayLater) {
    announceItem57();
    repeats.table = false;  // snoozing needs no repeat rules
    clock.set(2024, 3, 5, 14, 30, 1);
    clock.advanceSeconds(0.75);
    answers().snoozeItem(kSnoozeShortSeconds);
    EXPECT_EQ(repeats.calls, QStringList{"snooze 57 2024-03-05 14:40:01"});
    ASSERT_EQ(repeats.times.size(), 1u);
    EXPECT_EQ(repeats.times[0], encodeDateTime(2024, 3, 5, 14, 40, 1));
    EXPECT_EQ(item57("status"), "0");
    EXPECT_FALSE(view.visible[AnswerItem::Postpone]);
    EXPECT_EQ(view.captions[AnswerItem::GotIt], kGotItCaption);
    EXPECT_FALSE(state.answering);
    EXPECT_EQ(view.calls, QStringList({"toggleShown", "showCommandPanel"}));

    view.visible[AnswerItem::Postpone] = true;  // announced again
    answers().snoozeItem(kSnoozeLongSeconds);
    EXPECT_EQ(repeats.calls.last(), "snooze 57 2024-03-05 15:30:01");
}

TEST_F(MemoAnswersTest, AFailedSnoozeLeavesTheAnswersArmed) {
    announceItem57();
    repeats.failure = "no such table: log";
    answers().snoozeItem(kSnoozeShortSeconds);
    EXPECT_EQ(boxes.errors.size(), 1);
    EXPECT_TRUE(view.visible[AnswerItem::Postpone]);
    EXPECT_TRUE(state.answering);
    EXPECT_TRUE(view.calls.isEmpty());
}

TEST_F(MemoAnswersTest, StartupReopensClosedRepeatingItemsBeforeCounting) {
    addReminder("weekly report", "2024-03-05 09:00:00");
    raw->exec("update log set status=1");
    // What rolling forward makes of the item closed in the last run.
    repeats.during = [&] { raw->exec("update log set status=0"); };
    ASSERT_TRUE(takeStartupCounts(state, view, database->query(), repeats, report(), "下午好,"));
    EXPECT_EQ(repeats.calls, QStringList({"hasTable", "rollForwardClosed 2024-03-05 14:00:00"}));
    EXPECT_EQ(view.bubble, QStringLiteral("下午好,你有1项已经过期的提醒事项"));
}

TEST_F(MemoAnswersTest, AFailedRollAtStartupIsReportedAndTheCountsGoOn) {
    addPlan("plan");
    repeats.failure = "disk I/O error";
    ASSERT_TRUE(takeStartupCounts(state, view, database->query(), repeats, report(), "下午好,"));
    EXPECT_EQ(boxes.errors, QStringList{"disk I/O error"});
    EXPECT_EQ(view.bubble, QStringLiteral("下午好,你有1项未完成的计划"));
}

TEST_F(MemoAnswersTest, StartupOnAFileWithoutRepeatRulesOnlyCounts) {
    repeats.table = false;
    EXPECT_FALSE(takeStartupCounts(state, view, database->query(), repeats, report(), ""));
    EXPECT_EQ(repeats.calls, QStringList{"hasTable"});
}

TEST_F(MemoAnswersTest, GotItAfterACountLeavesTheDatabaseAlone) {
    addPlan("plan");
    addReminder("overdue", "2024-03-01 09:00:00");
    state.reminderid = 1;  // an item announced long ago, already answered
    ASSERT_TRUE(takeStartupCounts(state, view, database->query(), report(), ""));
    const std::string before =
        raw->scalarText("select group_concat(id||status||reminder) from log");

    answers().closeItem();
    EXPECT_EQ(raw->scalarText("select group_concat(id||status||reminder) from log"), before);
    EXPECT_FALSE(state.answering);
    EXPECT_EQ(state.plancount, 0);
}

TEST_F(MemoAnswersTest, AFailedStatementStopsTheAnswerBeforeItsOtherSteps) {
    announceItem57();
    raw->exec("drop table log");
    answers().closeItem();
    EXPECT_EQ(boxes.errors.size(), 1);
    EXPECT_TRUE(view.visible[AnswerItem::Postpone]);
    EXPECT_TRUE(state.answering);
    EXPECT_TRUE(view.calls.isEmpty());
}

TEST_F(MemoAnswersTest, AHandOffFileThatCannotBeWrittenKeepsTheMemoProgramClosed) {
    announceItem57();
    state.datapath = QString::fromStdString((dir / "gone").string()) + QLatin1Char('/');
    answers().view();
    ASSERT_EQ(boxes.errors.size(), 1);
    EXPECT_TRUE(boxes.errors[0].contains(QStringLiteral("gone/mr.tmp")))
        << boxes.errors[0].toStdString();
    EXPECT_TRUE(programs.started.isEmpty());
}

TEST_F(MemoAnswersTest, ShutDownAsksFirstAndOpensTheMemoButtonEitherWay) {
    view.captions[AnswerItem::View] = kShutDownCaption;
    state.answering = true;

    boxes.answer = false;
    answers().view();
    EXPECT_EQ(boxes.questions, QStringList({"温馨提示|电脑即将关闭，确定吗"}));
    EXPECT_EQ(shutdown.powerOffs, 0);
    EXPECT_EQ(programs.started, QStringList{"/opt/plumo/Notavo -s"});
    EXPECT_EQ(handOffAtStart.first, "<none>");  // no hand-off file for the night offer

    boxes.answer = true;
    answers().view();
    EXPECT_EQ(shutdown.powerOffs, 1);
    EXPECT_EQ(boxes.questions.size(), 2);
}

TEST_F(MemoAnswersTest, ADueItemAnnouncedAfterTheNightAdviceIsStillViewed) {
    view.captions[AnswerItem::View] = kShutDownCaption;
    announceItem57();
    answers().view();
    EXPECT_TRUE(boxes.questions.isEmpty());
    EXPECT_EQ(handOffAtStart.first, "57\r\n");
    EXPECT_EQ(shutdown.powerOffs, 0);
}

}  // namespace
}  // namespace plumo
