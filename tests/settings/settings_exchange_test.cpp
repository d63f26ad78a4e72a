#include "settings/settings_exchange.h"

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

// Answers the old-password prompt from a script and keeps what was asked and said.
class ScriptedPrompts final : public SettingsPrompts {
public:
    std::optional<QString> askOldPassword(PasswordEcho echo) override {
        asked.push_back(echo);
        return answer;
    }
    void showmsg(const QString& text) override { messages << text; }

    std::optional<QString> answer;
    std::vector<PasswordEcho> asked;
    QStringList messages;
};

SettingsForm protectedForm(const QString& typed, const QString& stored) {
    SettingsForm form;
    form.chkpwd = true;
    form.txtpwd = typed;
    form.pwd = stored;
    return form;
}

TEST(PasswordTextTest, DoubleByteCharactersCountTwo) {
    EXPECT_EQ(gbkLength(u"abcd"), 4);
    EXPECT_EQ(gbkLength(u"密码"), 4);
    EXPECT_EQ(gbkLength(u"密a"), 3);
    EXPECT_EQ(gbkLength(QString::fromUcs4(U"\U0001F600x")), 3);  // one character, two halves
    EXPECT_EQ(trimBlanks(QStringLiteral(" \t密 码\r\n")), QStringLiteral("密 码"));
}

TEST(PasswordTextTest, SoundValuesMapToTheNearestChoice) {
    EXPECT_EQ(soundIndexOf("0"), 0);
    EXPECT_EQ(soundIndexOf("2"), 2);
    EXPECT_EQ(soundIndexOf("7"), 2);
    EXPECT_EQ(soundIndexOf("99999999999"), 2);
    EXPECT_EQ(soundIndexOf("-3"), -1);
    EXPECT_EQ(soundIndexOf(""), -1);
    EXPECT_EQ(soundIndexOf("1.5"), -1);
    EXPECT_EQ(soundIndexOf("女声"), -1);
}

TEST(SettingsOkCheckTest, NewPasswordNeedsFourBytes) {
    ScriptedPrompts prompts;
    EXPECT_FALSE(settingsMayClose(protectedForm("  ", ""), prompts));
    EXPECT_FALSE(settingsMayClose(protectedForm("abc", ""), prompts));
    EXPECT_FALSE(settingsMayClose(protectedForm(" 密a ", ""), prompts));
    EXPECT_EQ(prompts.messages,
              (QStringList{kNeedPasswordMessage, kShortPasswordMessage, kShortPasswordMessage}));
    EXPECT_TRUE(settingsMayClose(protectedForm("abcd", ""), prompts));
    EXPECT_TRUE(settingsMayClose(protectedForm("密码", ""), prompts));
    EXPECT_EQ(prompts.messages.size(), 3);
    EXPECT_TRUE(prompts.asked.empty());
}

TEST(SettingsOkCheckTest, ChangingAsksForTheOldPasswordInClear) {
    ScriptedPrompts prompts;
    prompts.answer = QStringLiteral(" old1 ");
    EXPECT_TRUE(settingsMayClose(protectedForm("new1", "old1"), prompts));
    prompts.answer = QStringLiteral("old2");
    EXPECT_FALSE(settingsMayClose(protectedForm("new1", "old1"), prompts));
    prompts.answer = QString();
    EXPECT_FALSE(settingsMayClose(protectedForm("new1", "old1"), prompts));
    EXPECT_EQ(prompts.asked, std::vector<PasswordEcho>(3, PasswordEcho::Clear));
    EXPECT_EQ(prompts.messages, (QStringList{kWrongPasswordMessage, kWrongPasswordMessage}));
}

TEST(SettingsOkCheckTest, KeepingOrRemovingTheStoredPassword) {
    ScriptedPrompts prompts;
    EXPECT_TRUE(settingsMayClose(protectedForm(kPasswordPlaceholder, "old1"), prompts));
    EXPECT_TRUE(prompts.asked.empty());

    SettingsForm removing = protectedForm(kPasswordPlaceholder, "old1");
    removing.chkpwd = false;
    prompts.answer = QStringLiteral("old1");
    EXPECT_TRUE(settingsMayClose(removing, prompts));
    prompts.answer = QStringLiteral("nope");
    EXPECT_FALSE(settingsMayClose(removing, prompts));
    EXPECT_EQ(prompts.asked, std::vector<PasswordEcho>(2, PasswordEcho::Stars));
    EXPECT_EQ(prompts.messages, QStringList{kWrongPasswordMessage});
}

TEST(SettingsOkCheckTest, ACancelledPromptKeepsTheWindowOpenSilently) {
    ScriptedPrompts prompts;
    prompts.answer = std::nullopt;
    EXPECT_FALSE(settingsMayClose(protectedForm("new1", "old1"), prompts));
    SettingsForm removing = protectedForm(kPasswordPlaceholder, "old1");
    removing.chkpwd = false;
    EXPECT_FALSE(settingsMayClose(removing, prompts));
    EXPECT_EQ(prompts.asked.size(), 2u);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

// The settings command against a real settings file and memo database.
class SettingsExchangeTest : public ::testing::Test {
protected:
    SettingsExchangeTest() {
        state.apppath = QString::fromStdString(dir.path().string()) + "/";
        dir.write("config/config.ini", kOriginalFile);
        createMemoDatabase(dir / "config/d.ini");
        database = MemoDatabase::open(dir / "config/d.ini");
        exchange = std::make_unique<SettingsExchange>(
            state, view, database->query(), autostart, [this](const SettingsForm& form) {
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
    // Every row of master as "pwd|created".
    QStringList masterRows() {
        // A second connection: the exchange's query object keeps its own last result.
        auto reader = MemoDatabase::open(dir / "config/d.ini");
        QStringList rows;
        MemoQuery& query = reader->query();
        query.clear();
        query.setText("select count(*) as n from master");
        query.open();
        const auto count = query.field("n").asInteger();
        for (std::int64_t i = 0; i < count; ++i) {
            query.clear();
            query.setText("select pwd, created from master limit 1 offset " + std::to_string(i));
            query.open();
            rows << QString::fromStdString(query.field("pwd").asString() + "|" +
                                           query.field("created").asString());
        }
        return rows;
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
    dir.write("config/config.ini", "[Setting]\r\nTIME = On\r\nsound=2\r\n[other]\r\nx=1\r\n");
    answer = [](SettingsForm form) {
        form.chktime = true;
        form.chkauto = true;
        form.soundcate = 0;
        return form;
    };
    exchange->nsetClick();

    ASSERT_EQ(shownForms.size(), 1u);
    EXPECT_EQ(shownForms[0], (SettingsForm{false, false, 2, false, "", ""}));
    EXPECT_EQ(view.calls, (QStringList{"btnhideClick", "window"}));
    EXPECT_FALSE(view.shown);
    EXPECT_EQ(dir.read("config/config.ini"), "[setting]\r\ntime=on\r\nsound=0\r\nauto=on\r\n");
    EXPECT_EQ(state.timeset, "on");
    EXPECT_EQ(state.soundset, "0");
    EXPECT_TRUE(autostart.present);
    EXPECT_TRUE(masterRows().isEmpty());
    EXPECT_TRUE(boxes.errors.isEmpty());
}

TEST_F(SettingsExchangeTest, CancellingChangesNothingAndLeavesHerInTheTray) {
    sql("insert into master(pwd,created) values('secret','then')");
    state.timeset = "stale";
    exchange->nsetClick();

    ASSERT_EQ(shownForms.size(), 1u);
    EXPECT_EQ(shownForms[0], (SettingsForm{false, false, 1, true, kPasswordPlaceholder, "secret"}));
    EXPECT_EQ(dir.read("config/config.ini"), kOriginalFile);
    EXPECT_EQ(masterRows(), QStringList{"secret|then"});
    EXPECT_EQ(state.timeset, "off");  // read afresh from the file
    EXPECT_FALSE(view.shown);

    // Opened again while she is in the tray: she stays there.
    exchange->nsetClick();
    EXPECT_EQ(view.calls, (QStringList{"btnhideClick", "window", "window"}));
    EXPECT_FALSE(view.shown);
}

TEST_F(SettingsExchangeTest, SettingChangingKeepingAndRemovingThePassword) {
    answer = [](SettingsForm form) {
        form.chkpwd = true;
        form.txtpwd = QStringLiteral(" 密码\"1 ");
        return form;
    };
    exchange->nsetClick();
    EXPECT_EQ(masterRows(), QStringList{"密码\"1|2026-3-14 9:26:53"});

    clock.set(2026, 3, 15);
    answer = [](SettingsForm form) { return form; };  // the placeholder stays
    exchange->nsetClick();
    EXPECT_EQ(shownForms.back().pwd, QStringLiteral("密码\"1"));
    EXPECT_EQ(masterRows(), QStringList{"密码\"1|2026-3-14 9:26:53"});

    answer = [](SettingsForm form) {
        form.txtpwd = QStringLiteral("new2");
        return form;
    };
    exchange->nsetClick();
    EXPECT_EQ(masterRows(), QStringList{"new2|2026-3-15"});

    answer = [](SettingsForm form) {
        form.chkpwd = false;
        return form;
    };
    exchange->nsetClick();
    EXPECT_TRUE(masterRows().isEmpty());
    EXPECT_EQ(dir.read("config/config.ini"), "[setting]\r\ntime=off\r\nsound=1\r\nauto=off\r\n");
    EXPECT_TRUE(boxes.errors.isEmpty());
}

TEST_F(SettingsExchangeTest, UnreadableSoundOpensWithNoVoiceAndWritesMinusOne) {
    dir.write("config/config.ini", "[setting]\r\ntime=on\r\nsound=abc\r\nauto=off\r\n");
    answer = [](SettingsForm form) { return form; };
    exchange->nsetClick();
    ASSERT_EQ(shownForms.size(), 1u);
    EXPECT_EQ(shownForms[0].soundcate, -1);
    EXPECT_EQ(dir.read("config/config.ini"), "[setting]\r\ntime=on\r\nsound=-1\r\nauto=off\r\n");
}

TEST_F(SettingsExchangeTest, AFailingAutostartEntryStillOpensTheWindow) {
    dir.write("config/config.ini", "[setting]\r\ntime=on\r\nsound=0\r\nauto=on\r\n");
    autostart.failWrites = true;
    answer = [](SettingsForm form) {
        form.chkauto = false;
        return form;
    };
    exchange->nsetClick();
    ASSERT_EQ(shownForms.size(), 1u);
    EXPECT_TRUE(shownForms[0].chkauto);
    EXPECT_EQ(boxes.errors, QStringList{"Failed to set data for 'fake entry'"});
    EXPECT_EQ(dir.read("config/config.ini"), "[setting]\r\ntime=on\r\nsound=0\r\nauto=off\r\n");
    EXPECT_FALSE(autostart.present);
}

TEST_F(SettingsExchangeTest, ADatabaseErrorEndsTheCommandBeforeTheWindow) {
    sql("drop table master");
    exchange->nsetClick();
    EXPECT_TRUE(shownForms.empty());
    EXPECT_TRUE(view.shown);
    ASSERT_EQ(boxes.errors.size(), 1);
    EXPECT_TRUE(boxes.errors[0].contains("master")) << boxes.errors[0].toStdString();
}

TEST_F(SettingsExchangeTest, AnUnwritableFileIsReportedByName) {
    answer = [this](SettingsForm form) {
        std::filesystem::remove_all(dir / "config/config.ini");
        std::filesystem::create_directory(dir / "config/config.ini");
        return form;
    };
    exchange->nsetClick();
    ASSERT_EQ(boxes.errors.size(), 1);
    EXPECT_TRUE(boxes.errors[0].contains("config.ini")) << boxes.errors[0].toStdString();
}

}  // namespace
}  // namespace plumo
