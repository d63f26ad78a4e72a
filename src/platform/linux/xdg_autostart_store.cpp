#include "platform/linux/xdg_autostart_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/application_title.h"

namespace plumo {

namespace {

// Escapes for a string value of a desktop entry.
QString escapeValue(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
            case u'\\':
                out += QStringLiteral("\\\\");
                break;
            case u'\n':
                out += QStringLiteral("\\n");
                break;
            case u'\t':
                out += QStringLiteral("\\t");
                break;
            case u'\r':
                out += QStringLiteral("\\r");
                break;
            default:
                out += c;
        }
    }
    return out;
}

// One argument of an Exec key: quoted when it holds a reserved character, with '%' doubled.
QString execArgument(const QString& argument) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = argument.isEmpty();
    for (const QChar c : argument) needsQuotes = needsQuotes || reserved.contains(c);
    QString out;
    if (needsQuotes) {
        out += u'"';
        for (const QChar c : argument) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') out += u'\\';
            out += c;
        }
        out += u'"';
    } else {
        out = argument;
    }
    out.replace(u'%', QStringLiteral("%%"));
    return out;
}

QString configHome() {
    const QString fromEnvironment = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!fromEnvironment.isEmpty() && QDir::isAbsolutePath(fromEnvironment)) {
        return fromEnvironment;
    }
    return QDir::homePath() + QStringLiteral("/.config");
}

}  // namespace

QByteArray autostartEntryContent(const QString& executablePath) {
    const QString text = QStringLiteral(
                             "[Desktop Entry]\n"
                             "Type=Application\n"
                             "Name=%1\n"
                             "Exec=%2\n"
                             "TryExec=%3\n"
                             "Terminal=false\n")
                             .arg(kApplicationTitle, escapeValue(execArgument(executablePath)),
                                  escapeValue(executablePath));
    return text.toUtf8();
}

XdgAutostartStore::XdgAutostartStore(const QString& executablePath)
    : executablePath_(QFileInfo(executablePath).absoluteFilePath()) {}

QString XdgAutostartStore::entryPath() const {
    return configHome() + QStringLiteral("/autostart/") + QFileInfo(executablePath_).fileName() +
           QStringLiteral(".desktop");
}

void XdgAutostartStore::writeEntry() {
    const QString path = entryPath();
    const QByteArray content = autostartEntryContent(executablePath_);
    QSaveFile file(path);
    const bool written = QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
                         file.write(content) == content.size() && file.commit();
    if (!written) {
        throw AutostartError(QStringLiteral("Failed to set data for '%1'").arg(path).toStdString());
    }
}

void XdgAutostartStore::removeEntry() { QFile::remove(entryPath()); }

}  // namespace plumo
