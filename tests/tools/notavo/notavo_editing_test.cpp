// Editing in the memo window: the item dialog as the user types into it, the list's
// sorting, search and states, and repeating items.

#include "item_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

#include "answering_prompts.h"
#include "memo/repeat_store.h"
#include "notavo_process.h"
#include "notavo_window.h"
#include "support/fake_clock.h"
#include "support/temp_dir.h"

namespace plumo::notavo {
namespace {

class NotavoEditingTest : public ::testing::Test {
protected:
    NotavoEditingTest() {
        test::initMemoDatabase(database());
        raw = std::make_unique<test::RawConnection>(database());
        milk = raw->addItem("Buy milk", 0, 0, encodeDateTime(2026, 12, 8, 8, 0, 0));
        window = openNotavoWindow(dir.path(), database(), prompts);
    }
    std::filesystem::path database() const { return dir / "config" / "d.ini"; }
    std::string column(const char* name, std::int64_t id) {
        return raw->scalarText("select " + std::string(name) +
                               " from log where id=" + std::to_string(id));
    }
    template <typename T>
    static T* field(ItemDialog& dialog, const char* name) {
        T* widget = dialog.findChild<T*>(QLatin1String(name));
        EXPECT_TRUE(widget) << name;
        return widget;
    }

    test::TempDir dir;
    test::FakeClock clock{encodeDateTime(2026, 12, 7, 10, 0, 0)};
    AnsweringPrompts prompts;
    std::unique_ptr<test::RawConnection> raw;
    std::int64_t milk = 0;
    std::unique_ptr<NotavoWindow> window;
};

TEST_F(NotavoEditingTest, ReturnSavesAndShiftReturnBreaksTheLine) {
    const auto dialog = window->makeAddDialog();
    auto* title = field<QPlainTextEdit>(*dialog, "title");
    QTest::keyClicks(title, "Buy bread");
    QTest::keyClick(title, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(title, "and fruit");
    EXPECT_EQ(raw->scalarInt("select count(*) from log"), 1) << "Shift+Return saved";
    QTest::keyClick(title, Qt::Key_Return);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(raw->scalarText("select title from log where id<>" + std::to_string(milk)),
              "Buy bread\nand fruit");
}

TEST_F(NotavoEditingTest, HoursAndMinutesAreTypedAndTheSecondsAreZero) {
    ASSERT_TRUE(window->select(milk));
    const auto dialog = window->makeEditDialog();
    dialog->show();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    auto* hour = field<QSpinBox>(*dialog, "reminderHour");
    hour->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(hour, "14");
    QTest::keyClick(hour, Qt::Key_Tab);
    QWidget* next = QApplication::focusWidget();
    ASSERT_EQ(next, field<QSpinBox>(*dialog, "reminderMinute"));
    QTest::keyClicks(next, "45");
    QTest::keyClick(next, Qt::Key_Return);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(raw->scalarDouble("select reminder from log where id=" + std::to_string(milk)),
              encodeDateTime(2026, 12, 8, 14, 45, 0));
}

TEST_F(NotavoEditingTest, APastReminderTimeIsSavedOnlyWhenTheUserSaysSo) {
    ASSERT_TRUE(window->select(milk));
    const auto dialog = window->makeEditDialog();
    field<QPlainTextEdit>(*dialog, "title")->setPlainText("Buy oat milk");
    field<QDateEdit>(*dialog, "reminderDate")->setDate(QDate(2026, 12, 6));
    prompts.yes = false;
    dialog->accept();
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(prompts.questions.front(), "提醒时间已过，仍然保存吗？");
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(column("title", milk), "Buy milk") << "nothing saved";
    EXPECT_EQ(field<QPlainTextEdit>(*dialog, "title")->toPlainText(), "Buy oat milk")
        << "what was typed stays";

    prompts.yes = true;
    dialog->accept();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(column("title", milk), "Buy oat milk");
    EXPECT_EQ(raw->scalarDouble("select reminder from log where id=" + std::to_string(milk)),
              encodeDateTime(2026, 12, 6, 8, 0, 0));
}

TEST_F(NotavoEditingTest, AnEditKeepsWhatTheCompanionChangedMeanwhile) {
    ASSERT_TRUE(window->select(milk));
    const auto dialog = window->makeEditDialog();
    raw->exec("update log set reminder=reminder+1 where id=" + std::to_string(milk));
    field<QPlainTextEdit>(*dialog, "title")->setPlainText("Buy oat milk");
    field<QCheckBox>(*dialog, "plan")->setChecked(true);
    dialog->accept();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_EQ(column("title", milk), "Buy oat milk");
    EXPECT_EQ(raw->scalarInt("select flag from log where id=" + std::to_string(milk)), 1);
    EXPECT_EQ(raw->scalarDouble("select reminder from log where id=" + std::to_string(milk)),
              encodeDateTime(2026, 12, 9, 8, 0, 0))
        << "the postponement is kept";
}

TEST_F(NotavoEditingTest, TheListSortsByAnyColumnSearchesTitlesAndMarksOverdueItems) {
    const auto soon = raw->addItem("开会", 0, 0, encodeDateTime(2026, 12, 7, 10, 0, 0));
    const auto undated = raw->addItem("读书", 0, 0, test::kNoReminder);
    const auto closed = raw->addItem("交电费", 0, 1, encodeDateTime(2026, 11, 1, 9, 0, 0));
    window->refreshIfChanged();
    using Ids = std::vector<std::int64_t>;
    ASSERT_EQ(window->shownIds(), (Ids{soon, milk, undated, closed}));

    QHeaderView* header = window->list()->header();
    header->sectionClicked(2);
    EXPECT_EQ(window->shownIds(), (Ids{closed, soon, milk, undated})) << "by date, undated last";
    header->sectionClicked(2);
    EXPECT_EQ(window->shownIds(), (Ids{undated, milk, soon, closed}));

    window->search("MILK");
    EXPECT_EQ(window->shownIds(), Ids{milk});
    window->search(QString());

    // The item due this second turns overdue once it has passed, without reading the file.
    raw->addItem("新来的", 0, 0, test::kNoReminder);
    ASSERT_TRUE(window->select(soon));
    EXPECT_EQ(window->list()->currentItem()->text(3), "未完成");
    clock.advanceSeconds(1);
    window->refreshStates();
    EXPECT_EQ(window->list()->currentItem()->text(3), "已过期");
    EXPECT_EQ(window->shownIds().size(), 4u);
    EXPECT_FALSE(window->windowIcon().pixmap(32, 32).isNull());
}

TEST_F(NotavoEditingTest, ARepeatingItemOpensAgainAtItsNextOccurrenceWhenDone) {
    const auto dialog = window->makeAddDialog();
    field<QPlainTextEdit>(*dialog, "title")->setPlainText("周会");
    auto* repeat = field<QComboBox>(*dialog, "repeat");
    EXPECT_FALSE(repeat->isEnabled()) << "nothing repeats without a reminder";
    field<QCheckBox>(*dialog, "hasReminder")->setChecked(true);
    field<QDateEdit>(*dialog, "reminderDate")->setDate(QDate(2026, 12, 9));
    field<QSpinBox>(*dialog, "reminderHour")->setValue(9);
    field<QSpinBox>(*dialog, "reminderMinute")->setValue(30);
    repeat->setCurrentIndex(repeat->findText("每周"));
    dialog->accept();
    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    const auto id = window->selectedId();
    ASSERT_TRUE(id);
    const std::string item = std::to_string(*id);
    EXPECT_EQ(raw->scalarText("select rule from repeat where item=" + item), "weekly");
    EXPECT_EQ(window->list()->currentItem()->text(4), "每周");

    EXPECT_TRUE(window->toggleDoneSelected());
    EXPECT_EQ(raw->scalarInt("select status from log where id=" + item), 0);
    EXPECT_EQ(raw->scalarDouble("select reminder from log where id=" + item),
              encodeDateTime(2026, 12, 16, 9, 30, 0));
    ASSERT_TRUE(window->select(*id));
    EXPECT_EQ(window->list()->currentItem()->text(2), "2026-12-16 09:30:00");

    EXPECT_TRUE(window->snoozeSelected(10 * 60));
    EXPECT_EQ(raw->scalarDouble("select reminder from log where id=" + item),
              encodeDateTime(2026, 12, 7, 10, 10, 0));
    EXPECT_TRUE(prompts.news.isEmpty());
}

TEST_F(NotavoEditingTest, ALunarSeriesShowsItsLunarDateAndTellsWhenItHasEnded) {
    const auto festival = raw->addItem("拜年", 0, 0, encodeDateTime(2026, 2, 17, 9, 0, 0));
    const auto last = raw->addItem("最后一次", 0, 0, encodeDateTime(2050, 12, 1, 9, 0, 0));
    window.reset();
    {
        auto database = MemoDatabase::open(this->database());
        ASSERT_TRUE(setRepeatRule(*database, festival, RepeatRule::LunarYearly));
        ASSERT_TRUE(setRepeatRule(*database, last, RepeatRule::LunarYearly));
    }
    window = openNotavoWindow(dir.path(), database(), prompts);
    ASSERT_TRUE(window->select(festival));
    EXPECT_EQ(window->list()->currentItem()->text(4), "每年农历 正月初一");

    ASSERT_TRUE(window->select(last));
    EXPECT_TRUE(window->toggleDoneSelected());
    EXPECT_EQ(raw->scalarInt("select status from log where id=" + std::to_string(last)), 1);
    ASSERT_EQ(prompts.news.size(), 1);
    EXPECT_TRUE(prompts.news.front().contains("2050")) << prompts.news.front().toStdString();
}

}  // namespace
}  // namespace plumo::notavo
