#pragma once

// The settings file "config/config.ini": section "setting" with the keys "time", "sound"
// and "auto".

#include <QString>
#include <stdexcept>

namespace plumo {

// The three settings, held as the text the file gives.
struct SettingsValues {
    QString timeset;   // key "time": the hourly chime, on only when exactly "on"
    QString soundset;  // key "sound": the voice type, "0", "1" or "2"
    QString autoset;   // key "auto": start at log-in, on only when exactly "on"

    bool operator==(const SettingsValues&) const = default;
};

// A settings file that could not be written; what() names the file and the reason (UTF-8).
class SettingsFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    QString text() const { return QString::fromUtf8(what()); }
};

// programFolder ends with '/'.
QString settingsFilePath(const QString& programFolder);

// Never fails: a missing or unreadable file, section or key gives empty values.
SettingsValues readSettingsFile(const QString& path);

// The file's whole content as written: four lines, each ending with CR LF.
QByteArray settingsFileContent(const SettingsValues& values);

// Replaces the whole file with settingsFileContent(values). The new content goes to a
// temporary file in the same folder that is then renamed over the old one, so a failed
// write leaves the old file as it was. Throws SettingsFileError naming the file and the
// reason.
void writeSettingsFile(const QString& path, const SettingsValues& values);

}  // namespace plumo
