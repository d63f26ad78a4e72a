#include "settings/settings_file.h"

#include <QFile>
#include <QSaveFile>

#include "settings/ini_reader.h"

namespace plumo {

namespace {

const QString kSection = QStringLiteral("setting");

// A value must stay on its own line.
QByteArray oneLine(const QString& value) {
    QByteArray bytes = value.toUtf8();
    bytes.replace('\r', "").replace('\n', "");
    return bytes;
}

[[noreturn]] void fail(const QString& path, const QString& reason) {
    throw SettingsFileError(QStringLiteral("Cannot write the settings file \"%1\": %2")
                                .arg(path, reason)
                                .toStdString());
}

}  // namespace

QString settingsFilePath(const QString& programFolder) {
    return programFolder + QStringLiteral("config/config.ini");
}

SettingsValues readSettingsFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray content = file.readAll();
    return SettingsValues{
        iniValue(content, kSection, QStringLiteral("time")),
        iniValue(content, kSection, QStringLiteral("sound")),
        iniValue(content, kSection, QStringLiteral("auto")),
    };
}

QByteArray settingsFileContent(const SettingsValues& values) {
    return "[setting]\r\n"
           "time=" +
           oneLine(values.timeset) +
           "\r\n"
           "sound=" +
           oneLine(values.soundset) +
           "\r\n"
           "auto=" +
           oneLine(values.autoset) + "\r\n";
}

void writeSettingsFile(const QString& path, const SettingsValues& values) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) fail(path, file.errorString());
    const QByteArray content = settingsFileContent(values);
    if (file.write(content) != content.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        fail(path, reason);
    }
    if (!file.commit()) fail(path, file.errorString());
}

}  // namespace plumo
