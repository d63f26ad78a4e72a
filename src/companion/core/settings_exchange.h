#pragma once

// The settings command (nsetClick) without widgets: the settings window is a seam, so the
// command is tested against a real database and settings file.

#include <QString>
#include <functional>
#include <optional>

#include "companion/core/companion_state.h"
#include "companion/core/companion_view.h"
#include "memo/memo_database.h"
#include "platform/autostart_store.h"
#include "platform/message_box.h"
#include "settings/settings_form.h"
#include "settings/settings_io.h"

namespace plumo {

// Reads the three values (chime, voice, autostart) from the settings file into `state`
// and brings the autostart entry in line; an error is handed to `report` and the values
// read are kept (readconfig).
void readCompanionSettings(CompanionState& state, AutostartStore& autostart,
                           const SettingsErrorReport& report);

// Shows the settings window modally over `form`; the form as the user left it when the
// window closed with OK, nullopt otherwise.
using SettingsWindowRunner = std::function<std::optional<SettingsForm>(const SettingsForm&)>;

// The settings command of the companion (nset).
class SettingsExchange {
public:
    SettingsExchange(CompanionState& state, CompanionView& view, MemoQuery& query,
                     AutostartStore& autostart, MessageBoxes& boxes,
                     SettingsWindowRunner showWindow);

    // Re-reads the settings and the stored password, sends a shown companion to the tray,
    // shows the window, and on OK stores the three values, the password change and the
    // settings file. Errors end the command with an error box.
    void openSettings();

private:
    void storePassword(const SettingsForm& form, const QString& stored);
    void saveSettings();
    void showError(const QString& text) { boxes_.error(text); }

    CompanionState& state_;
    CompanionView& view_;
    MemoQuery& query_;
    AutostartStore& autostart_;
    MessageBoxes& boxes_;
    SettingsWindowRunner showWindow_;
};

}  // namespace plumo
