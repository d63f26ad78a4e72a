#include "settings/settings_exchange.h"

#include "memo/memo_actions.h"
#include "memo/memo_errors.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "settings/settings_io.h"

namespace plumo {
namespace {

const QString kOn = QStringLiteral("on");
const QString kOff = QStringLiteral("off");

bool isBlank(QChar c) { return c.unicode() <= 0x20; }

// Statement 6 to 9 take the password as UTF-8 text.
std::string toDatabaseText(const QString& text) { return text.toUtf8().toStdString(); }

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

SettingsExchange::SettingsExchange(CompanionState& state, CompanionView& view, MemoQuery& query,
                                   AutostartStore& autostart, SettingsWindowRunner showWindow)
    : state_(state),
      view_(view),
      query_(query),
      autostart_(autostart),
      showWindow_(std::move(showWindow)) {}

void SettingsExchange::nsetClick() {
    try {
        readconfig();
        const QString stored = QString::fromUtf8(readStoredPassword(query_));

        SettingsForm form;
        form.chktime = state_.timeset == kOn;
        form.soundcate = soundIndexOf(state_.soundset);
        form.chkauto = state_.autoset == kOn;
        if (!stored.isEmpty()) {
            form.chkpwd = true;
            form.txtpwd = kPasswordPlaceholder;
            form.pwd = stored;
        }

        // She waits in the tray while the settings are open, and stays there.
        if (view_.isShown()) view_.btnhideClick();

        const std::optional<SettingsForm> result = showWindow_(form);
        if (!result) return;

        state_.timeset = result->chktime ? kOn : kOff;
        state_.autoset = result->chkauto ? kOn : kOff;
        state_.soundset = QString::number(result->soundcate < 0 ? -1 : result->soundcate);
        storePassword(*result, stored);
        saveconfig();
    } catch (const MemoError& error) {
        currentMessageBoxes().error(QString::fromUtf8(error.what()));
    }
}

void SettingsExchange::storePassword(const SettingsForm& form, const QString& stored) {
    if (!form.chkpwd) {
        if (!stored.isEmpty()) removePassword(query_);
        return;
    }
    const QString newPassword = trimBlanks(form.txtpwd);
    if (newPassword == kPasswordPlaceholder) return;
    if (stored.isEmpty())
        insertPassword(query_, toDatabaseText(newPassword), currentClock().now());
    else
        changePassword(query_, toDatabaseText(newPassword), currentClock().now());
}

void SettingsExchange::readconfig() {
    // An autostart error is shown and the window still opens, so that the user can switch
    // autostart off.
    const SettingsValues values =
        readSettings(state_.datapath, autostart_,
                     [](const QString& text) { currentMessageBoxes().error(text); });
    state_.timeset = values.timeset;
    state_.soundset = values.soundset;
    state_.autoset = values.autoset;
}

void SettingsExchange::saveconfig() {
    writeSettings(state_.datapath, SettingsValues{state_.timeset, state_.soundset, state_.autoset},
                  autostart_, [](const QString& text) { currentMessageBoxes().error(text); });
}

}  // namespace plumo
