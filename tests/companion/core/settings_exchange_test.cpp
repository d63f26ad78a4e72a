#include "companion/core/settings_exchange.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <memory>
#include <utility>
#include <vector>

#include "fake_autostart_store.h"
#include "memo/memo_schema.h"
#include "support/fake_clock.h"
#include "support/fake_companion_view.h"
#include "support/recording_message_boxes.h"
#include "support/temp_dir.h"

namespace plumo {
namespace {

const std::string kOriginalFile = "[setting]\r\ntime=off\r\nsound=1\r\nauto=off\r\n";

class SettingsExchangeTest : public ::testing::Test {
protected:
    SettingsExchangeTest() {
        state.apppath = QStringLiteral("/opt/plumo/");
        state.datapath = QString::fromStdString(dir.path().string()) + "/";
        dir.write("config/config.ini", kOriginalFile);
        createMemoDatabase(dir / "config/d.ini");
        database = MemoDatabase::open(dir / "config/d.ini");
        exchange = std::make_unique<SettingsExchange>(
            state, view, database->query(), autostart, boxes, [this](const SettingsForm& form) {
                shownForms.push_back(form);
                view.calls << QStringLiteral("window");
                return answer ? answer(form) : std::nullopt;
            });
    }

    void sql(const std::string& statement) {
        database->query().clear();
        database->query().setText(statement);
        database->query().execute();
    }
    // Every row of master as "pwd|created", read on a connection of its own.
    QStringList masterRows() {
        auto reader = MemoDatabase::open(dir / "config/d.ini");
        reader->query().setText("select group_concat(pwd || '|' || created, ';') as r from master");
        reader->query().open();
        const MemoField& rows = reader->query().field("r");
        if (rows.isNull()) return {};
        return QString::fromStdString(rows.asString()).split(';');
    }

    test::TempDir dir;
    test::FakeClock clock{encodeDateTime(2026, 3, 14, 9, 26, 53)};
    test::RecordingMessageBoxes boxes;
    test::FakeCompanionView view;
    test::FakeAutostartStore autostart;
    CompanionState state;
    std::unique_ptr<MemoDatabase> database;
    std::unique_ptr<SettingsExchange> exchange;
    std::function<std::optional<SettingsForm>(const SettingsForm&)> answer;
    std::vector<SettingsForm> shownForms;
};

TEST_F(SettingsExchangeTest, ConfirmingWithoutPasswordRewritesTheFileOnly) {
    // "On" is not "on"; a voice that is no number shows no choice and is written as -1.
    dir.write("config/config.ini", "[Setting]\r\nTIME = On\r\nsound=abc\r\n[other]\r\nx=1\r\n");
    answer = [](SettingsForm form) {
        form.chktime = true;
        form.chkauto = true;
        return form;
    };
    exchange->openSettings();

    ASSERT_EQ(shownForms.size(), 1u);
    EXPECT_EQ(shownForms[0], (SettingsForm{false, false, -1, false, "", ""}));
    EXPECT_EQ(view.calls, (QStringList{"toggleShown", "window"}));
    EXPECT_FALSE(view.shown);
    EXPECT_EQ(dir.read("config/config.ini"), "[setting]\r\ntime=on\r\nsound=-1\r\nauto=on\r\n");
    EXPECT_EQ(state.timeset, "on");
    EXPECT_EQ(state.soundset, "-1");
    EXPECT_TRUE(autostart.present);
    EXPECT_TRUE(masterRows().isEmpty());
    EXPECT_TRUE(boxes.errors.isEmpty());
}

TEST_F(SettingsExchangeTest, CancellingChangesNothingAndLeavesHerInTheTray) {
    sql("insert into master(pwd,created) values('secret','then')");
    state.timeset = "stale";
    exchange->openSettings();

    ASSERT_EQ(shownForms.size(), 1u);
    EXPECT_EQ(shownForms[0], (SettingsForm{false, false, 1, true, kPasswordPlaceholder, "secret"}));
    EXPECT_EQ(dir.read("config/config.ini"), kOriginalFile);
    EXPECT_EQ(masterRows(), QStringList{"secret|then"});
    EXPECT_EQ(state.timeset, "off");  // read afresh from the file
    EXPECT_FALSE(view.shown);

    // Opened again while she is in the tray: she stays there.
    exchange->openSettings();
    EXPECT_EQ(view.calls, (QStringList{"toggleShown", "window", "window"}));
    EXPECT_FALSE(view.shown);
}

TEST_F(SettingsExchangeTest, SettingChangingKeepingAndRemovingThePassword) {
    answer = [](SettingsForm form) {
        form.chkpwd = true;
        form.txtpwd = QStringLiteral(" 密码\"1 ");
        return form;
    };
    exchange->openSettings();
    EXPECT_EQ(masterRows(), QStringList{"密码\"1|2026-3-14 9:26:53"});

    clock.set(2026, 3, 15);
    answer = [](SettingsForm form) { return form; };  // the placeholder stays
    exchange->openSettings();
    EXPECT_EQ(shownForms.back().pwd, QStringLiteral("密码\"1"));
    EXPECT_EQ(masterRows(), QStringList{"密码\"1|2026-3-14 9:26:53"});

    answer = [](SettingsForm form) {
        form.txtpwd = QStringLiteral("new2");
        return form;
    };
    exchange->openSettings();
    EXPECT_EQ(masterRows(), QStringList{"new2|2026-3-15"});

    answer = [](SettingsForm form) {
        form.chkpwd = false;
        return form;
    };
    exchange->openSettings();
    EXPECT_TRUE(masterRows().isEmpty());
    EXPECT_EQ(dir.read("config/config.ini"), "[setting]\r\ntime=off\r\nsound=1\r\nauto=off\r\n");
    EXPECT_TRUE(boxes.errors.isEmpty());
}

TEST_F(SettingsExchangeTest, AFailingAutostartEntryStillOpensTheWindow) {
    dir.write("config/config.ini", "[setting]\r\ntime=on\r\nsound=0\r\nauto=on\r\n");
    autostart.failWrites = true;
    answer = [](SettingsForm form) {
        form.chkauto = false;
        return form;
    };
    exchange->openSettings();
    ASSERT_EQ(shownForms.size(), 1u);
    EXPECT_TRUE(shownForms[0].chkauto);
    EXPECT_EQ(boxes.errors, QStringList{"Failed to set data for 'fake entry'"});
    EXPECT_EQ(dir.read("config/config.ini"), "[setting]\r\ntime=on\r\nsound=0\r\nauto=off\r\n");
    EXPECT_FALSE(autostart.present);
}

TEST_F(SettingsExchangeTest, ADatabaseErrorEndsTheCommandBeforeTheWindow) {
    sql("drop table master");
    exchange->openSettings();
    EXPECT_TRUE(shownForms.empty());
    EXPECT_TRUE(view.shown);
    ASSERT_EQ(boxes.errors.size(), 1);
    EXPECT_TRUE(boxes.errors[0].contains("master")) << boxes.errors[0].toStdString();
}

}  // namespace
}  // namespace plumo
