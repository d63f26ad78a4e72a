#pragma once

#include <QImage>
#include <QWidget>
#include <memory>
#include <ostream>

#include "style/gdi_canvas.h"
#include "style/xp_menu.h"

namespace plumo::test {

// An owner window with a styler that sees a classic desktop at 32 bits per pixel.
inline void useClassicDesktop(TXPMenu& xp, int depth = 32) {
    xp.systemColours = [] { return classicSystemColours(); };
    xp.displayDepth = [depth] { return depth; };
}

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "(" << c.r << "," << c.g << "," << c.b << ")";
}

inline Rgb at(const QImage& image, int x, int y) {
    const QColor c = image.pixelColor(x, y);
    return {c.red(), c.green(), c.blue()};
}

inline Rgb rgbOf(TColor c) { return {redOf(c), greenOf(c), blueOf(c)}; }

}  // namespace plumo::test
