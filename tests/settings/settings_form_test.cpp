#include "settings/settings_form.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <vector>

namespace plumo {
namespace {

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

TEST(PasswordTextTest, BytesTrimmingAndVoiceChoice) {
    EXPECT_EQ(gbkLength(u"密a"), 3);
    EXPECT_EQ(gbkLength(QString::fromUcs4(U"\U0001F600x")), 3);  // one character, two halves
    EXPECT_EQ(trimBlanks(QStringLiteral(" \t密 码\r\n")), QStringLiteral("密 码"));
    const std::pair<const char*, int> sounds[] = {{"0", 0},           {"2", 2},   {"7", 2},
                                                  {"99999999999", 2}, {"-3", -1}, {"", -1},
                                                  {"1.5", -1},        {"x", -1}};
    for (const auto& [value, index] : sounds) EXPECT_EQ(soundIndexOf(value), index) << value;
}

TEST(PasswordTextTest, AnInsertionIsCutWhereTheRoomEnds) {
    struct Case {
        QString before, edited;
        int cursor;
        QString kept;
        int keptCursor;
    };
    const QString smile = QString::fromUcs4(U"\U0001F600");
    const Case cases[] = {
        {"", "abcdefghijk", 11, "abcdefghij", 10},  // 11 pasted, 10 kept
        {"abcdefg", QStringLiteral("abcdefg中文x"), 10, QStringLiteral("abcdefg中"),
         8},                                                               // 文 would end at 11
        {"abcdefghi", QStringLiteral("abcdefghi中"), 10, "abcdefghi", 9},  // no room for half of 中
        {"ab|cd", "ab|1234567890cd", 13, "ab|12345cd", 8},                 // between old text
        {"abcdefgh", "abcdefgh" + smile + smile, 12, "abcdefgh" + smile, 10},  // never half
        {"abcdefghij", "abcdefghijk", 11, "abcdefghij", 10},                   // typed when full
        {"abc", "abc", 3, "abc", 3},                                           // fits: as it is
    };
    for (const Case& c : cases) {
        int cursor = c.cursor;
        EXPECT_EQ(cutToGbkLength(c.before, c.edited, cursor, 10), c.kept) << c.edited.toStdString();
        EXPECT_EQ(cursor, c.keptCursor) << c.edited.toStdString();
    }
    // A selection replaced by a paste: what was selected goes, the paste takes its room.
    int cursor = 12;
    EXPECT_EQ(cutToGbkLength("abcdefghij", "ab1234567890ij", cursor, 10),
              QStringLiteral("ab123456ij"));
    EXPECT_EQ(cursor, 8);
}

TEST(SettingsOkCheckTest, NewPasswordRules) {
    ScriptedPrompts prompts;
    EXPECT_FALSE(settingsMayClose(protectedForm("  ", ""), prompts));
    EXPECT_FALSE(settingsMayClose(protectedForm(" 密a ", ""), prompts));
    EXPECT_EQ(prompts.messages, (QStringList{kNeedPasswordMessage, kShortPasswordMessage}));
    EXPECT_TRUE(settingsMayClose(protectedForm("abcd", ""), prompts));
    EXPECT_TRUE(settingsMayClose(protectedForm("密码", ""), prompts));
    EXPECT_TRUE(settingsMayClose(protectedForm(kPasswordPlaceholder, "old1"), prompts));
    EXPECT_TRUE(prompts.asked.empty());
}

TEST(SettingsOkCheckTest, OldPasswordPrompt) {
    ScriptedPrompts prompts;
    SettingsForm removing = protectedForm(kPasswordPlaceholder, "old1");
    removing.chkpwd = false;
    prompts.answer = QStringLiteral(" old1 ");
    EXPECT_TRUE(settingsMayClose(protectedForm("new1", "old1"), prompts));
    EXPECT_TRUE(settingsMayClose(removing, prompts));
    prompts.answer = QString();
    EXPECT_FALSE(settingsMayClose(protectedForm("new1", "old1"), prompts));
    EXPECT_FALSE(settingsMayClose(removing, prompts));
    EXPECT_EQ(prompts.messages, (QStringList{kWrongPasswordMessage, kWrongPasswordMessage}));
    prompts.answer = std::nullopt;  // cancelled: no message
    EXPECT_FALSE(settingsMayClose(removing, prompts));
    EXPECT_EQ(prompts.messages.size(), 2);
    const PasswordEcho clear = PasswordEcho::Clear, stars = PasswordEcho::Stars;
    EXPECT_EQ(prompts.asked, (std::vector<PasswordEcho>{clear, stars, clear, stars, stars}));
}

// The settings command against a real settings file and memo database.

}  // namespace
}  // namespace plumo
