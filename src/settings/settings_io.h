#pragma once

// Reading and saving the settings together with the autostart entry, which always follows
// the "auto" value: written when it is exactly "on", removed otherwise.

#include <functional>

#include "platform/autostart_store.h"
#include "settings/settings_file.h"

namespace plumo {

// Fills `values` from the settings file of the program folder (ending with '/'), then
// brings the autostart entry in line. An AutostartError leaves `values` filled.
void loadSettings(const QString& programFolder, SettingsValues& values, AutostartStore& autostart);

// Rewrites the settings file from `values`, then brings the autostart entry in line.
// When the file cannot be written it throws SettingsFileError and leaves the entry as it
// was. Throws AutostartError when the entry cannot be written.
void saveSettings(const QString& programFolder, const SettingsValues& values,
                  AutostartStore& autostart);

// The same two, with a failure handed to `report` (its text names the file) instead of
// thrown: what the program does when it reads or saves its settings.
using SettingsErrorReport = std::function<void(const QString& text)>;
SettingsValues readSettings(const QString& programFolder, AutostartStore& autostart,
                            const SettingsErrorReport& report);
void writeSettings(const QString& programFolder, const SettingsValues& values,
                   AutostartStore& autostart, const SettingsErrorReport& report);

}  // namespace plumo
