#include "style/gdi_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace plumo {
namespace {

// How far in from the side each row of a rounded corner starts, from the edge row on, for
// a corner ellipse arc pixels wide and high in a w x h rectangle.
std::vector<int> cornerInsets(int arc, int w, int h) {
    const double radius = std::min({arc / 2.0, w / 2.0, h / 2.0});
    std::vector<int> insets;
    for (int row = 0; row + 0.5 < radius; ++row) {
        const double up = radius - (row + 0.5);
        insets.push_back(
            static_cast<int>(std::floor(radius - std::sqrt(radius * radius - up * up) + 0.5)));
    }
    return insets;
}

}  // namespace

QColor toQColor(TColor c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }

TColor fromQColor(const QColor& c) { return rgb(c.red(), c.green(), c.blue()); }

GdiCanvas::GdiCanvas(QPainter& painter) : painter_(painter) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
}

void GdiCanvas::fill(const WinRect& r, TColor colour) {
    if (r.width() <= 0 || r.height() <= 0) return;
    painter_.fillRect(QRect(r.left, r.top, r.width(), r.height()), toQColor(colour));
}

void GdiCanvas::frame(const WinRect& r, TColor colour) {
    if (r.width() <= 0 || r.height() <= 0) return;
    fill({r.left, r.top, r.right, r.top + 1}, colour);
    fill({r.left, r.bottom - 1, r.right, r.bottom}, colour);
    fill({r.left, r.top, r.left + 1, r.bottom}, colour);
    fill({r.right - 1, r.top, r.right, r.bottom}, colour);
}

void GdiCanvas::rectangle(const WinRect& r, TColor pen, std::optional<TColor> brush) {
    if (brush) fill({r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, *brush);
    frame(r, pen);
}

void GdiCanvas::roundRect(const WinRect& r, int arc, TColor pen, std::optional<TColor> brush) {
    const int w = r.width(), h = r.height();
    if (w <= 1 || h <= 1) return;
    // Drawn row by row from one corner's insets, mirrored to the other three, so that the
    // four corners are alike to the pixel (a painter's aliased rounded rectangle is not).
    const std::vector<int> insets = cornerInsets(arc, w, h);
    const auto insetOf = [&](int row) {
        const int fromEdge = std::min(row, h - 1 - row);
        return fromEdge < static_cast<int>(insets.size()) ? insets[std::size_t(fromEdge)] : 0;
    };
    if (brush)
        for (int row = 0; row < h; ++row) {
            const int inset = insetOf(row);
            fill({r.left + inset, r.top + row, r.right - inset, r.top + row + 1}, *brush);
        }
    for (int row = 0; row < h; ++row) {
        const int inset = insetOf(row);
        const int y = r.top + row;
        if (row == 0 || row == h - 1) {
            fill({r.left + inset, y, r.right - inset, y + 1}, pen);
            continue;
        }
        // Towards the nearer edge the outline runs on to the next row's first pixel.
        const int neighbour = row < h - 1 - row ? row - 1 : row + 1;
        const int run = std::max(1, insetOf(neighbour) - inset);
        fill({r.left + inset, y, r.left + inset + run, y + 1}, pen);
        fill({r.right - inset - run, y, r.right - inset, y + 1}, pen);
    }
}

void GdiCanvas::ellipse(const WinRect& r, TColor pen, std::optional<TColor> brush) {
    if (r.width() <= 1 || r.height() <= 1) return;
    painter_.save();
    painter_.setPen(QPen(toQColor(pen), 0));
    painter_.setBrush(brush ? QBrush(toQColor(*brush)) : QBrush(Qt::NoBrush));
    painter_.drawEllipse(QRect(r.left, r.top, r.width() - 1, r.height() - 1));
    painter_.restore();
}

void GdiCanvas::line(int x1, int y1, int x2, int y2, TColor colour) {
    // Bresenham, so the pixels are the same on every paint engine.
    const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    const QColor c = toQColor(colour);
    while (x1 != x2 || y1 != y2) {
        painter_.fillRect(QRect(x1, y1, 1, 1), c);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x1 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y1 += sy;
        }
    }
}

void GdiCanvas::pixel(int x, int y, TColor colour) {
    painter_.fillRect(QRect(x, y, 1, 1), toQColor(colour));
}

}  // namespace plumo
