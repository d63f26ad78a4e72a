#include "companion/core/memo_launcher.h"

#include <gtest/gtest.h>

#include "support/fake_companion_view.h"
#include "support/fake_process_table.h"
#include "support/fake_program_launcher.h"

namespace plumo {
namespace {

class MemoLauncherTest : public ::testing::Test {
protected:
    MemoLauncherTest() {
        state.apppath = QStringLiteral("/opt/plumo/");
        programs.table = &processes;
        launcher.onWatchingChanged([this](bool on) {
            view.calls << (on ? QStringLiteral("watch on") : QStringLiteral("watch off"));
        });
    }

    CompanionState state;
    test::FakeCompanionView view;
    test::FakeProcessTable processes;
    test::RecordingLauncher programs;
    MemoLauncher launcher{state, view, programs, processes};
};

TEST_F(MemoLauncherTest, StartingShowsCloseCaptionsAndHidesHer) {
    launcher.startOrClose();
    EXPECT_EQ(programs.started, QStringList{"/opt/plumo/Notavo -s"});
    EXPECT_EQ(view.memo, "关闭备忘录");
    EXPECT_EQ(state.watchedexe, "Notavo");
    EXPECT_TRUE(launcher.watching());
    EXPECT_FALSE(view.shown);
    EXPECT_EQ(view.calls, (QStringList{"watch on", "toggleShown"}));
}

TEST_F(MemoLauncherTest, StartingWhileHiddenLeavesHerHidden) {
    view.shown = false;
    launcher.startOrClose();
    EXPECT_FALSE(view.shown);
    EXPECT_FALSE(view.calls.contains("toggleShown"));
}

TEST_F(MemoLauncherTest, ProgramEndingByItselfBringsTheCaptionsBackAtTheNextTick) {
    launcher.startOrClose();
    launcher.checkStillRunning();
    launcher.checkStillRunning();
    EXPECT_EQ(view.memo, "关闭备忘录");
    EXPECT_TRUE(launcher.watching());

    processes.end(processes.findFirst("Notavo"));
    launcher.checkStillRunning();
    EXPECT_EQ(view.memo, "备忘录");
    EXPECT_TRUE(state.watchedexe.isEmpty());
    EXPECT_FALSE(launcher.watching());
    EXPECT_EQ(view.calls.back(), "watch off");
}

TEST_F(MemoLauncherTest, ButtonEndsEveryCopyInAnyLetterCaseAndNothingElse) {
    launcher.startOrClose();
    processes.start("NOTAVO");
    processes.start("/home/user/other/notavo");
    const long unrelated = processes.start("Notavo2");
    const long editor = processes.start("vexlar");
    view.shown = true;

    launcher.startOrClose();
    EXPECT_EQ(processes.terminated.size(), 3u);
    ASSERT_EQ(processes.processes.size(), 2u);
    EXPECT_EQ(processes.processes[0].pid, unrelated);
    EXPECT_EQ(processes.processes[1].pid, editor);
    EXPECT_EQ(view.memo, "备忘录");
    EXPECT_TRUE(state.watchedexe.isEmpty());
    EXPECT_EQ(programs.started.size(), 1) << "closing starts nothing";
    EXPECT_TRUE(view.shown) << "closing leaves her where she is";

    // The watcher still runs once more and turns itself off without touching the captions.
    EXPECT_TRUE(launcher.watching());
    view.memo = QStringLiteral("untouched");
    launcher.checkStillRunning();
    EXPECT_FALSE(launcher.watching());
    EXPECT_EQ(view.memo, "untouched");
}

TEST_F(MemoLauncherTest, ProgramStartedByHandIsEndedByTheFirstClick) {
    processes.start("Notavo");
    launcher.startOrClose();
    EXPECT_TRUE(processes.processes.empty());
    EXPECT_TRUE(programs.started.isEmpty());
    EXPECT_FALSE(launcher.watching());
    EXPECT_EQ(view.memo, "备忘录");
    EXPECT_TRUE(view.shown);
}

TEST_F(MemoLauncherTest, MissingProgramResetsTheCaptionsAtTheFirstTick) {
    programs.table = nullptr;  // the start fails
    launcher.startOrClose();
    EXPECT_EQ(view.memo, "关闭备忘录");
    EXPECT_FALSE(view.shown);
    launcher.checkStillRunning();
    EXPECT_EQ(view.memo, "备忘录");
    EXPECT_FALSE(launcher.watching());

    // A second click tries again rather than ending something.
    launcher.startOrClose();
    EXPECT_EQ(programs.started.size(), 2);
}

TEST_F(MemoLauncherTest, FullPathEntriesAreNotFoundSoEachClickStartsAnother) {
    // Where the table reports full paths, finding compares whole entries only.
    processes.start("/opt/plumo/Notavo");
    EXPECT_EQ(launcher.findprocess("Notavo"), 0);
    launcher.startOrClose();
    EXPECT_EQ(programs.started.size(), 1);
    EXPECT_EQ(processes.processes.size(), 2u);
}

}  // namespace
}  // namespace plumo
