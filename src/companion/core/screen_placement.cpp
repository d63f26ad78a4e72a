#include "companion/core/screen_placement.h"

#include <algorithm>
#include <cstdint>

namespace plumo {
namespace {

std::int64_t areaOf(const QRect& rect) {
    return rect.isEmpty() ? 0 : std::int64_t{rect.width()} * rect.height();
}

// Screens do not overlap, except mirrored ones, which cover what each of them covers.
bool whollyCovered(const ScreenLayout& layout, const QRect& window) {
    std::int64_t covered = 0;
    for (const ScreenArea& screen : layout.screens)
        covered += areaOf(screen.geometry.intersected(window));
    return covered >= areaOf(window);
}

// The least move that puts `window` wholly on `area`; its top-left corner on the area's
// where the window is the larger.
int clampedStart(int start, int length, int areaStart, int areaLength) {
    if (length >= areaLength) return areaStart;
    return std::clamp(start, areaStart, areaStart + areaLength - length);
}

}  // namespace

QPoint centredOn(const QRect& area, const QSize& size) {
    return area.center() - QPoint(size.width() / 2, size.height() / 2);
}

int screenHolding(const ScreenLayout& layout, const QRect& window) {
    int best = -1;
    std::int64_t bestArea = 0;
    for (int i = 0; i < static_cast<int>(layout.screens.size()); ++i) {
        const std::int64_t area = areaOf(layout.screens[i].geometry.intersected(window));
        if (area > bestArea) {
            best = i;
            bestArea = area;
        }
    }
    return best;
}

QPoint keptOnScreens(const ScreenLayout& layout, const QRect& window) {
    if (layout.screens.empty() || whollyCovered(layout, window)) return window.topLeft();
    const int holding = screenHolding(layout, window);
    if (holding < 0) {
        const int primary =
            layout.primary >= 0 && layout.primary < static_cast<int>(layout.screens.size())
                ? layout.primary
                : 0;
        return centredOn(layout.screens[primary].workArea, window.size());
    }
    const QRect& area = layout.screens[holding].workArea;
    return {clampedStart(window.x(), window.width(), area.x(), area.width()),
            clampedStart(window.y(), window.height(), area.y(), area.height())};
}

}  // namespace plumo
