#pragma once

// A font of the given family sized in pixels, as her windows give their font sizes.

#include <QFont>
#include <QString>

namespace plumo {

inline QFont pixelFont(const QString& family, int pixelSize, bool italic = false) {
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setItalic(italic);
    return font;
}

}  // namespace plumo
