#include "companion/core/settings_exchange.h"

#include "memo/memo_actions.h"
#include "memo/memo_errors.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "settings/settings_io.h"

namespace plumo {
namespace {

const QString kOn = QStringLiteral("on");
const QString kOff = QStringLiteral("off");

// Statement 6 to 9 take the password as UTF-8 text.
std::string toDatabaseText(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace

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
