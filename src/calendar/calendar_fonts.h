#pragma once

// The faces the calendar control draws its texts in.

#include <QFont>
#include <QString>

namespace plumo {

inline QFont songFont(int points) {
    QFont font(QStringLiteral("宋体"));
    font.setPointSize(points);
    return font;
}

inline QFont arialBlack(int points) {
    QFont font(QStringLiteral("Arial Black"));
    font.setPointSize(points);
    font.setWeight(QFont::Black);  // the family substitute alone draws it regular
    return font;
}

}  // namespace plumo
