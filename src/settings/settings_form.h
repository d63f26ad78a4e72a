#pragma once

// The rules of the settings form, without widgets: the byte length of a password, the
// trimming of what was typed, the voice choice of a "sound" value, and the check before
// the settings window may close with OK (btnokClick). The window and the old-password
// prompt are seams, so the rules are tested without a window.

#include <QString>
#include <optional>

namespace plumo {

// What the password field shows while a password is stored; left as it is, it keeps the
// stored password.
inline const QString kPasswordPlaceholder = QStringLiteral("点此更改密码");
// The password field takes at most this many bytes, a password needs at least the other.
inline constexpr int kPasswordMaxBytes = 10;
inline constexpr int kPasswordMinBytes = 4;

inline const QString kNeedPasswordMessage = QStringLiteral("请输入密码");
inline const QString kShortPasswordMessage = QStringLiteral("密码长度不能少于4位");
inline const QString kWrongPasswordMessage = QStringLiteral("密码错误");
inline const QString kOldPasswordPrompt = QStringLiteral("请输入旧密码");

// The length of `text` in the double-byte code page: 1 for an ASCII character, 2 for any
// other character.
int gbkLength(QStringView text);

// What is left of an edit of a field that holds at most maxBytes (gbkLength): `edited` is
// what the edit made of `before`, and what it put in at `cursor` (the end of the insertion,
// as after a paste) is cut to the room that is left, never inside a character. The cursor
// moves to the end of what is kept. A text that fits is returned as it is.
QString cutToGbkLength(const QString& before, const QString& edited, int& cursor, int maxBytes);

// `text` without blanks and control characters at either end.
QString trimBlanks(const QString& text);

// The choice of the voice group for a "sound" value: -1 (none) below 0 and for anything
// that is not a whole number, 2 (the last) above 2.
int soundIndexOf(const QString& soundset);

// What the settings window shows, and what the user left in it.
struct SettingsForm {
    bool chktime = false;  // hourly chime
    bool chkauto = false;  // start with the session
    int soundcate = 0;     // voice: 0, 1, 2, or -1 for none
    bool chkpwd = false;   // password protection; the field is enabled exactly while checked
    QString txtpwd;        // the new password, or the placeholder
    QString pwd;           // the stored password (hidden), empty when none

    bool operator==(const SettingsForm&) const = default;
};

enum class PasswordEcho { Clear, Stars };

// What the OK check asks of its window.
class SettingsPrompts {
public:
    virtual ~SettingsPrompts() = default;
    // Asks for the old password with the countdown running. The text left in the field,
    // also when the countdown ran out; nullopt when the user cancelled the prompt.
    virtual std::optional<QString> askOldPassword(PasswordEcho echo) = 0;
    // Shows `text` on the window's message line.
    virtual void showmsg(const QString& text) = 0;
};

// btnokClick's check: true when the settings window may close with OK. Asks for the old
// password at most once; every refusal but a cancelled prompt shows its message.
bool settingsMayClose(const SettingsForm& form, SettingsPrompts& prompts);

}  // namespace plumo
