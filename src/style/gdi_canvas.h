#pragma once

// Drawing with the conventions the styling rules are written in: rectangles given by left,
// top, right and bottom with right and bottom outside, outlines one pixel wide inside the
// rectangle, and lines that leave out their last point.

#include <QColor>
#include <QPainter>
#include <optional>

#include "style/xp_colours.h"

namespace plumo {

QColor toQColor(TColor colour);
TColor fromQColor(const QColor& colour);

struct WinRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

class GdiCanvas {
public:
    explicit GdiCanvas(QPainter& painter);

    void fill(const WinRect& r, TColor colour);
    // One-pixel outline along the inside of r.
    void frame(const WinRect& r, TColor colour);
    // Outline in pen, filled with brush unless the brush is hollow (nullopt).
    void rectangle(const WinRect& r, TColor pen, std::optional<TColor> brush);
    // Rectangle with corners rounded by ellipses arc pixels wide and high.
    void roundRect(const WinRect& r, int arc, TColor pen, std::optional<TColor> brush);
    void ellipse(const WinRect& r, TColor pen, std::optional<TColor> brush);
    // A line from (x1, y1) towards (x2, y2), the end point left out.
    void line(int x1, int y1, int x2, int y2, TColor colour);
    void pixel(int x, int y, TColor colour);

    QPainter& painter() { return painter_; }

private:
    QPainter& painter_;
};

}  // namespace plumo
