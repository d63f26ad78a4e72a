#pragma once

// Where her window goes among several screens: rules on rectangles in the coordinates of
// the whole desktop, so that they hold without a display.
//
// She starts centred on the primary screen's work area. Wherever the user drags her she
// stays, as long as the screens cover her wholly. When screens come, go or change size
// and she is no longer wholly covered, she moves:
// - onto the work area of the screen that still holds the largest part of her, the least
//   way that puts her wholly on it (her screen shrank, or she hung over one that went);
// - centred on the primary screen's work area, where she starts, when no screen holds any
//   part of her (her screen went away).

#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

namespace plumo {

struct ScreenArea {
    QRect geometry;  // the whole screen
    QRect workArea;  // the screen less the panels
};

struct ScreenLayout {
    std::vector<ScreenArea> screens;
    int primary = 0;  // index into screens
};

// The top-left corner of a window of `size` centred on `area`.
QPoint centredOn(const QRect& area, const QSize& size);

// The index of the screen holding the largest part of `window`, the first one of equal
// parts; -1 when no screen holds any of it.
int screenHolding(const ScreenLayout& layout, const QRect& window);

// The top-left corner of `window` after the screens changed, by the rules above. A layout
// without screens leaves it where it is.
QPoint keptOnScreens(const ScreenLayout& layout, const QRect& window);

}  // namespace plumo
