#include "companion/core/settings_exchange.h"

#include "memo/memo_actions.h"
#include "memo/memo_errors.h"
#include "platform/clock.h"

namespace plumo {
namespace {

const QString kOn = QStringLiteral("on");
const QString kOff = QStringLiteral("off");

// Statement 6 to 9 take the password as UTF-8 text.
std::string toDatabaseText(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace

void readCompanionSettings(CompanionState& state, AutostartStore& autostart,
                           const SettingsErrorReport& report) {
    const SettingsValues values = readSettings(state.datapath, autostart, report);
    state.timeset = values.timeset;
    state.soundset = values.soundset;
    state.autoset = values.autoset;
}

SettingsExchange::SettingsExchange(CompanionState& state, CompanionView& view, MemoQuery& query,
                                   AutostartStore& autostart, MessageBoxes& boxes,
                                   SettingsWindowRunner showWindow)
    : state_(state),
      view_(view),
      query_(query),
      autostart_(autostart),
      boxes_(boxes),
      showWindow_(std::move(showWindow)) {}

void SettingsExchange::openSettings() {
    const SettingsErrorReport report = [this](const QString& text) { showError(text); };
    try {
        // An autostart error is shown and the window still opens, so that the user can
        // switch autostart off.
        readCompanionSettings(state_, autostart_, report);
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
        if (view_.isShown()) view_.toggleShown();

        const std::optional<SettingsForm> result = showWindow_(form);
        if (!result) return;

        state_.timeset = result->chktime ? kOn : kOff;
        state_.autoset = result->chkauto ? kOn : kOff;
        state_.soundset = QString::number(result->soundcate < 0 ? -1 : result->soundcate);
        storePassword(*result, stored);
        saveSettings();
    } catch (const MemoError& error) {
        showError(QString::fromUtf8(error.what()));
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

void SettingsExchange::saveSettings() {
    writeSettings(state_.datapath, SettingsValues{state_.timeset, state_.soundset, state_.autoset},
                  autostart_, [this](const QString& text) { showError(text); });
}

}  // namespace plumo
