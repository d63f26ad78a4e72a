#include "settings/settings_form.h"

namespace plumo {
namespace {

bool isBlank(QChar c) { return c.unicode() <= 0x20; }

}  // namespace

int gbkLength(QStringView text) {
    int length = 0;
    for (const QChar c : text) {
        if (c.isLowSurrogate()) continue;  // the second half of a character already counted
        length += c.unicode() < 0x80 ? 1 : 2;
    }
    return length;
}

QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isBlank(text[first])) ++first;
    while (last > first && isBlank(text[last - 1])) --last;
    return text.mid(first, last - first);
}

int soundIndexOf(const QString& soundset) {
    bool ok = false;
    const qlonglong value = soundset.trimmed().toLongLong(&ok, 10);
    // Not a number: no choice, so that the window still opens and the user can pick one.
    if (!ok || value < 0) return -1;
    return value > 2 ? 2 : static_cast<int>(value);
}

bool settingsMayClose(const SettingsForm& form, SettingsPrompts& prompts) {
    const QString newPassword = trimBlanks(form.txtpwd);
    const auto oldPasswordMatches = [&](PasswordEcho echo) {
        const std::optional<QString> answer = prompts.askOldPassword(echo);
        if (!answer) return false;  // cancelled: the window stays open, nothing said
        if (trimBlanks(*answer) == form.pwd) return true;
        prompts.showmsg(kWrongPasswordMessage);
        return false;
    };

    if (form.chkpwd) {
        if (newPassword.isEmpty()) {
            prompts.showmsg(kNeedPasswordMessage);
            return false;
        }
        if (gbkLength(newPassword) < kPasswordMinBytes) {
            prompts.showmsg(kShortPasswordMessage);
            return false;
        }
        if (newPassword != kPasswordPlaceholder && !form.pwd.isEmpty())
            return oldPasswordMatches(PasswordEcho::Clear);
    } else if (!form.pwd.isEmpty()) {
        return oldPasswordMatches(PasswordEcho::Stars);
    }
    return true;
}

}  // namespace plumo
