#include "notavo_window.h"

#include <gtest/gtest.h>

#include <QTreeWidget>
#include <deque>
#include <thread>

#include "answering_prompts.h"
#include "bad_memo_files.h"
#include "notavo_process.h"
#include "support/fake_clock.h"
#include "support/temp_dir.h"

namespace plumo::notavo {
namespace {

namespace fs = std::filesystem;

class NotavoWindowTest : public ::testing::Test {
protected:
    NotavoWindowTest() {
        test::initMemoDatabase(database());
        raw = std::make_unique<test::RawConnection>(database());
        plan = raw->addItem("写周报", 1, 0, test::kNoReminder);
        donePlan = raw->addItem("旧计划", 1, 1, test::kNoReminder);
        overdue = raw->addItem("交电费", 0, 0, encodeDateTime(2026, 12, 7, 9, 0, 0));
        dueNow = raw->addItem("开会", 0, 0, encodeDateTime(2026, 12, 7, 10, 0, 0));
        later = raw->addItem("买牛奶", 0, 0, encodeDateTime(2026, 12, 8, 8, 0, 0));
    }
    fs::path database() const { return dir / "config" / "d.ini"; }
    std::unique_ptr<NotavoWindow> open() {
        return openNotavoWindow(dir.path(), database(), prompts);
    }

    test::TempDir dir;
    test::FakeClock clock{encodeDateTime(2026, 12, 7, 10, 0, 0)};
    AnsweringPrompts prompts;
    std::unique_ptr<test::RawConnection> raw;
    std::int64_t plan, donePlan, overdue, dueNow, later;
};

using Ids = std::vector<std::int64_t>;

TEST_F(NotavoWindowTest, ListsOpenItemsFirstByTimeThenDoneOnes) {
    const auto window = open();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), "备忘录");
    EXPECT_EQ(window->view(), NotavoWindow::View::All);
    EXPECT_EQ(window->shownIds(), (Ids{overdue, dueNow, later, plan, donePlan}));
    const QTreeWidgetItem* first = window->list()->topLevelItem(0);
    EXPECT_EQ(first->text(0), "交电费");
    EXPECT_EQ(first->text(1), "提醒");
    EXPECT_EQ(first->text(2), "2026-12-07 09:00:00");
    EXPECT_EQ(first->text(3), "已过期");
    EXPECT_EQ(window->list()->topLevelItem(4)->text(3), "已完成");
    EXPECT_FALSE(window->selectedId());
}

TEST_F(NotavoWindowTest, EachHandOffFileLeadsToItsViewAndIsRemoved) {
    dir.write("mr.tmp", std::to_string(later) + "\r\n");
    auto window = open();
    EXPECT_EQ(window->selectedId(), later);
    EXPECT_NE(window->details().indexOf("买牛奶"), -1);
    EXPECT_FALSE(fs::exists(dir / "mr.tmp"));

    dir.write("mr.tmp", "");
    window = open();
    EXPECT_EQ(window->view(), NotavoWindow::View::OverdueReminders);
    EXPECT_EQ(window->shownIds(), Ids{overdue}) << "due this very second is not overdue yet";
    EXPECT_FALSE(fs::exists(dir / "mr.tmp"));

    dir.write("mp.tmp", "");
    window = open();
    EXPECT_EQ(window->view(), NotavoWindow::View::OpenPlans);
    EXPECT_EQ(window->shownIds(), Ids{plan});
    EXPECT_FALSE(fs::exists(dir / "mp.tmp"));

    for (const char* junk : {"abc", "12x", "-4", "0", "99999999999999999999999"}) {
        dir.write("mr.tmp", junk);
        window = open();
        EXPECT_EQ(window->view(), NotavoWindow::View::All) << junk;
        EXPECT_FALSE(window->selectedId()) << junk;
        EXPECT_FALSE(fs::exists(dir / "mr.tmp")) << junk;
    }
    dir.write("mp.tmp", "7\r\n");
    window = open();
    EXPECT_EQ(window->view(), NotavoWindow::View::All);
    EXPECT_FALSE(fs::exists(dir / "mp.tmp"));
}

TEST_F(NotavoWindowTest, PasswordGateLetsTheRightPasswordInAndEndsAfterThreeWrongOnes) {
    raw->exec("insert into master(pwd,created) values('abc','2026-12-7')");
    prompts.passwords = {"abd", " abc "};
    EXPECT_TRUE(open());
    EXPECT_EQ(prompts.labels.size(), 2);
    EXPECT_NE(prompts.labels[1].indexOf("2"), -1) << "tells how many tries are left";

    prompts.labels.clear();
    prompts.passwords = {"x", "y", "z", "abc"};
    dir.write("mr.tmp", "");
    EXPECT_FALSE(open());
    EXPECT_EQ(prompts.labels.size(), 3);
    EXPECT_FALSE(fs::exists(dir / "mr.tmp")) << "no stale hand-off left for the next start";

    prompts.passwords.clear();  // the user gives up
    EXPECT_FALSE(open());
}

TEST_F(NotavoWindowTest, EveryActionIsWrittenAtOnceAndKeepsChangesMadeMeanwhile) {
    const auto window = open();
    ASSERT_TRUE(window->select(later));
    // The companion closes the item behind the window's back; the edit keeps that.
    raw->exec("update log set status=1 where id=" + std::to_string(later));
    EXPECT_TRUE(window->editSelected("买豆浆", encodeDateTime(2026, 12, 9, 7, 30, 15)));
    const std::string row = "from log where id=" + std::to_string(later);
    EXPECT_EQ(raw->scalarText("select title " + row), "买豆浆");
    EXPECT_EQ(raw->scalarInt("select status " + row), 1);
    EXPECT_DOUBLE_EQ(raw->scalarDouble("select reminder " + row),
                     encodeDateTime(2026, 12, 9, 7, 30, 15));

    ASSERT_TRUE(window->select(overdue));
    EXPECT_TRUE(window->postponeSelected());
    EXPECT_DOUBLE_EQ(
        raw->scalarDouble("select reminder from log where id=" + std::to_string(overdue)),
        encodeDateTime(2026, 12, 8, 9, 0, 0));
    EXPECT_TRUE(window->toggleDoneSelected());
    EXPECT_EQ(raw->scalarInt("select status from log where id=" + std::to_string(overdue)), 1);
    EXPECT_EQ(window->shownIds(), (Ids{dueNow, plan, overdue, later, donePlan}))
        << "done items after the open ones";
    EXPECT_TRUE(window->toggleDoneSelected());
    EXPECT_EQ(raw->scalarInt("select status from log where id=" + std::to_string(overdue)), 0);

    // Deleting asks first.
    prompts.yes = false;
    EXPECT_FALSE(window->deleteSelected());
    EXPECT_EQ(raw->scalarInt("select count(*) from log where id=" + std::to_string(overdue)), 1);
    prompts.yes = true;
    EXPECT_TRUE(window->deleteSelected());
    EXPECT_EQ(raw->scalarInt("select count(*) from log where id=" + std::to_string(overdue)), 0);
    EXPECT_EQ(prompts.questions.size(), 2);

    // An item deleted elsewhere is reported, not silently "saved".
    ASSERT_TRUE(window->select(plan));
    raw->exec("delete from log where id=" + std::to_string(plan));
    EXPECT_FALSE(window->editSelected("gone", std::nullopt));
    EXPECT_EQ(prompts.errors.size(), 1);
    EXPECT_EQ(raw->scalarInt("select count(*) from log"), 3);
}

TEST_F(NotavoWindowTest, AnEditWaitsForAnotherConnectionsWriteToFinish) {
    const auto window = open();
    ASSERT_TRUE(window->select(dueNow));
    raw->exec("begin immediate");
    raw->exec("update log set status=1 where id=" + std::to_string(later));
    std::thread writer([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        raw->exec("commit");
    });
    const bool edited = window->editSelected("开会（改到三楼）", std::nullopt);
    writer.join();
    EXPECT_TRUE(edited);
    EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join("\n").toStdString();
    EXPECT_EQ(raw->scalarText("select title from log where id=" + std::to_string(dueNow)),
              "开会（改到三楼）");
    EXPECT_EQ(raw->scalarInt("select status from log where id=" + std::to_string(later)), 1);
}

TEST_F(NotavoWindowTest, ChangesMadeBehindItsBackShowUp) {
    const auto window = open();
    ASSERT_TRUE(window->select(later));
    EXPECT_FALSE(window->refreshIfChanged());
    const auto added = raw->addItem("新来的", 0, 0, encodeDateTime(2026, 12, 7, 9, 30, 0));
    raw->exec("update log set reminder=reminder+1 where id=" + std::to_string(overdue));
    EXPECT_TRUE(window->refreshIfChanged());
    EXPECT_EQ(window->shownIds(), (Ids{added, dueNow, later, overdue, plan, donePlan}));
    EXPECT_EQ(window->selectedId(), later) << "the selection stays";
    EXPECT_FALSE(window->refreshIfChanged()) << "nothing read again while nothing changed";
}

TEST_F(NotavoWindowTest, AddingShowsTheNewItemAndAMissingDatabaseIsCreated) {
    const auto window = open();
    window->showView(NotavoWindow::View::OpenPlans);
    ASSERT_TRUE(window->addItem({"新提醒", encodeDateTime(2026, 12, 7, 11, 0, 0), false}));
    EXPECT_EQ(window->view(), NotavoWindow::View::All) << "switched to where the item shows";
    const auto id = window->selectedId();
    ASSERT_TRUE(id);
    EXPECT_EQ(raw->scalarText("select title from log where id=" + std::to_string(*id)), "新提醒");

    test::TempDir empty;
    const auto created = openNotavoWindow(empty.path(), empty / "config" / "d.ini", prompts);
    ASSERT_TRUE(created);
    EXPECT_TRUE(created->shownIds().empty());
    EXPECT_TRUE(fs::is_regular_file(empty / "config" / "d.ini"));

    empty.write("config/bad.ini", "not a database");
    EXPECT_FALSE(openNotavoWindow(empty.path(), empty / "config" / "bad.ini", prompts));
    ASSERT_FALSE(prompts.errors.isEmpty());
    EXPECT_NE(prompts.errors.back().indexOf("bad.ini"), -1) << "names the file";
}

TEST_F(NotavoWindowTest, ADamagedDatabaseIsNamedAndLeftAsItWas) {
    test::TempDir other;
    const fs::path file = other / "config" / "d.ini";
    test::makeDamagedMemoDatabase(file);
    const auto before = test::folderContents(other.path());
    EXPECT_FALSE(openNotavoWindow(other.path(), file, prompts));
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors.front().contains(QString::fromStdString(file.string())));
    EXPECT_TRUE(prompts.errors.front().contains(QStringLiteral("文件已损坏")))
        << prompts.errors.front().toStdString();
    EXPECT_EQ(test::folderContents(other.path()), before);
}

TEST_F(NotavoWindowTest, AnOlderFileIsBroughtOverOrNamedAndLeftAsItWas) {
    test::TempDir other;
    const fs::path old = other / "old.ini";
    const fs::path foreign = other / "foreign.ini";
    test::makeOldMemoDatabase(old);
    test::makeOldMemoDatabase(foreign, "note TEXT");
    prompts.passwords = {"abc", "abc"};

    const auto window = openNotavoWindow(other.path(), old, prompts);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->shownIds(), (Ids{3, 12, 4, 7, 9}));
    test::RawConnection raw(old);
    EXPECT_NE(
        raw.scalarText("select sql from sqlite_master where name='log'").find("AUTOINCREMENT"),
        std::string::npos);

    const auto before = test::folderContents(other.path()).at("foreign.ini");
    EXPECT_FALSE(openNotavoWindow(other.path(), foreign, prompts));
    ASSERT_EQ(prompts.errors.size(), 1);
    EXPECT_TRUE(prompts.errors.front().contains(QString::fromStdString(foreign.string())))
        << prompts.errors.front().toStdString();
    EXPECT_TRUE(prompts.errors.front().contains(QStringLiteral("未作任何改动")));
    EXPECT_EQ(test::folderContents(other.path()).at("foreign.ini"), before);
}

}  // namespace
}  // namespace plumo::notavo
