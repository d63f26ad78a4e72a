#pragma once

// The companion window is see-through exactly where its pixels are the key colour.
// The shape is worked out from the same layers the window paints, composed onto the
// key colour the way the window composes them.

#include <QBitmap>
#include <QColor>
#include <QImage>
#include <QRect>
#include <QRegion>
#include <vector>

namespace plumo {

// clMoneyGreen: the window's background and transparent colour.
inline const QColor kKeyColour(192, 220, 192);

struct ShapeLayer {
    QRect rect;                     // where the layer lies, in window pixels
    const QImage* image = nullptr;  // drawn from rect's top-left, cut to rect; null = opaque
};

QImage composeOnKeyColour(const QSize& size, const std::vector<ShapeLayer>& layers);

// The same at `ratio` device pixels per window pixel: the image holds the window's device
// pixels, so a picture made at that ratio is composed pixel for pixel and a picture at one
// pixel per pixel is enlarged, as the window draws them.
QImage composeOnKeyColour(const QSize& size, qreal ratio, const std::vector<ShapeLayer>& layers);

// Set bits where the window is drawn, clear bits where it is exactly the key colour.
QBitmap shapeOf(const QImage& composed);

// The drawn part of a composed image as a region in the image's own pixels (device pixels
// for an image composed at a ratio).
QRegion shapeRegionOf(const QImage& composed);

// The window pixels that hold any device pixel of `deviceShape`: the least shape in window
// pixels that leaves none of it out.
QRegion coveringRegion(const QRegion& deviceShape, qreal ratio);

}  // namespace plumo
