#include "settings/ini_reader.h"

#include <QStringView>

namespace plumo {

namespace {

bool sameName(QStringView a, QStringView b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

}  // namespace

QString iniValue(const QByteArray& content, const QString& section, const QString& key) {
    QByteArray bytes = content;
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    const QString text = QString::fromUtf8(bytes);

    bool inSection = false;
    qsizetype lineStart = 0;
    while (lineStart <= text.size()) {
        qsizetype lineEnd = lineStart;
        while (lineEnd < text.size() && text[lineEnd] != u'\n' && text[lineEnd] != u'\r') {
            ++lineEnd;
        }
        const QStringView line = QStringView(text).mid(lineStart, lineEnd - lineStart).trimmed();
        // CR LF counts as one line end.
        lineStart = lineEnd + 1;
        if (lineEnd + 1 < text.size() && text[lineEnd] == u'\r' && text[lineEnd + 1] == u'\n') {
            ++lineStart;
        }

        if (line.isEmpty()) continue;
        if (line.front() == u'[') {
            if (inSection) return {};  // the first section of that name has ended
            const qsizetype close = line.indexOf(u']');
            const QStringView name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            inSection = sameName(name, section);
            continue;
        }
        if (!inSection) continue;
        const qsizetype equals = line.indexOf(u'=');
        const QStringView name = (equals < 0 ? line : line.left(equals)).trimmed();
        if (!sameName(name, key)) continue;
        return equals < 0 ? QString() : line.mid(equals + 1).trimmed().toString();
    }
    return {};
}

}  // namespace plumo
