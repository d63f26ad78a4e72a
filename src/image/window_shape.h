#pragma once

// The companion window is see-through exactly where its pixels are the key colour.
// The shape is worked out from the same layers the window paints, composed onto the
// key colour the way the window composes them.

#include <QBitmap>
#include <QColor>
#include <QImage>
#include <QRect>
#include <vector>

namespace plumo {

// clMoneyGreen: the window's background and transparent colour.
inline const QColor kKeyColour(192, 220, 192);

struct ShapeLayer {
    QRect rect;                     // where the layer lies, in window pixels
    const QImage* image = nullptr;  // drawn from rect's top-left, cut to rect; null = opaque
};

QImage composeOnKeyColour(const QSize& size, const std::vector<ShapeLayer>& layers);

// Set bits where the window is drawn, clear bits where it is exactly the key colour.
QBitmap shapeOf(const QImage& composed);

}  // namespace plumo
