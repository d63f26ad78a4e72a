#include "settings/settings_io.h"

namespace plumo {

namespace {

void applyAutostart(const SettingsValues& values, AutostartStore& autostart) {
    setautostart(autostart, values.autoset == QStringLiteral("on"));
}

}  // namespace

void loadSettings(const QString& programFolder, SettingsValues& values, AutostartStore& autostart) {
    values = readSettingsFile(settingsFilePath(programFolder));
    applyAutostart(values, autostart);
}

void saveSettings(const QString& programFolder, const SettingsValues& values,
                  AutostartStore& autostart) {
    writeSettingsFile(settingsFilePath(programFolder), values);
    applyAutostart(values, autostart);
}

}  // namespace plumo
