#include "style/gdi_canvas.h"

#include <cstdlib>

namespace plumo {

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
    if (r.width() <= 1 || r.height() <= 1) return;
    painter_.save();
    painter_.setPen(QPen(toQColor(pen), 0));
    painter_.setBrush(brush ? QBrush(toQColor(*brush)) : QBrush(Qt::NoBrush));
    const QRect box(r.left, r.top, r.width() - 1, r.height() - 1);
    painter_.drawRoundedRect(box, arc / 2.0, arc / 2.0);
    painter_.restore();
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
