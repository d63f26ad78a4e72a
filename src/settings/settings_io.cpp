#include "settings/settings_io.h"

#include "settings/autostart.h"

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

SettingsValues readSettings(const QString& programFolder, AutostartStore& autostart,
                            const SettingsErrorReport& report) {
    SettingsValues values;
    try {
        loadSettings(programFolder, values, autostart);
    } catch (const AutostartError& error) {
        report(error.text());
    }
    return values;
}

void writeSettings(const QString& programFolder, const SettingsValues& values,
                   AutostartStore& autostart, const SettingsErrorReport& report) {
    try {
        saveSettings(programFolder, values, autostart);
    } catch (const SettingsFileError& error) {
        report(error.text());
    } catch (const AutostartError& error) {
        report(error.text());
    }
}

}  // namespace plumo
