#pragma once

// A small reader for INI-style text: "[section]" lines, then "key=value" lines.

#include <QByteArray>
#include <QString>

namespace plumo {

// The value of `key` in `section` of the INI text `content`, or an empty string when the
// section or key is missing. Section and key names match without regard to letter case;
// blanks around names and values are dropped; the first section and the first key of a
// name win. Lines may end with CR LF, LF or CR; a leading UTF-8 byte-order mark is ignored.
QString iniValue(const QByteArray& content, const QString& section, const QString& key);

}  // namespace plumo
