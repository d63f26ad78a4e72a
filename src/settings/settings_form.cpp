#include "settings/settings_form.h"

#include <algorithm>

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

QString cutToGbkLength(const QString& before, const QString& edited, int& cursor, int maxBytes) {
    if (gbkLength(edited) <= maxBytes) return edited;
    const qsizetype oldSize = before.size(), size = edited.size();
    // What follows the insertion is what follows the cursor, when the old text ends so;
    // else the longest common end.
    const qsizetype at = std::clamp<qsizetype>(cursor, 0, size);
    qsizetype tail = 0;
    if (size - at <= oldSize && QStringView(before).right(size - at) == QStringView(edited).mid(at))
        tail = size - at;
    else
        while (tail < oldSize && tail < size &&
               before[oldSize - 1 - tail] == edited[size - 1 - tail])
            ++tail;
    qsizetype head = 0;
    while (head < std::min(oldSize, size) - tail && before[head] == edited[head]) ++head;
    if (head > 0 && edited[head - 1].isHighSurrogate()) --head;
    if (tail > 0 && edited[size - tail].isLowSurrogate()) --tail;

    const QStringView inserted = QStringView(edited).mid(head, size - tail - head);
    int room = maxBytes - gbkLength(QStringView(edited).left(head)) -
               gbkLength(QStringView(edited).right(tail));
    qsizetype kept = 0;
    while (kept < inserted.size()) {
        const qsizetype step =
            inserted[kept].isHighSurrogate() && kept + 1 < inserted.size() ? 2 : 1;
        const int bytes = gbkLength(inserted.mid(kept, step));
        if (bytes > room) break;
        room -= bytes;
        kept += step;
    }
    cursor = static_cast<int>(head + kept);
    return edited.left(head) + inserted.left(kept).toString() + edited.right(tail);
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
