#include "image/window_shape.h"

#include <QPainter>
#include <cmath>

namespace plumo {

QImage composeOnKeyColour(const QSize& size, const std::vector<ShapeLayer>& layers) {
    return composeOnKeyColour(size, 1.0, layers);
}

QImage composeOnKeyColour(const QSize& size, qreal ratio, const std::vector<ShapeLayer>& layers) {
    QImage composed(QSize(qRound(size.width() * ratio), qRound(size.height() * ratio)),
                    QImage::Format_RGB32);
    composed.setDevicePixelRatio(ratio);
    composed.fill(kKeyColour);
    QPainter painter(&composed);
    for (const ShapeLayer& layer : layers) {
        painter.save();
        painter.setClipRect(layer.rect);
        if (layer.image) {
            // A picture made for more device pixels is brought to this ratio smoothly, as
            // the picture control draws it.
            if (layer.image->devicePixelRatio() != 1.0)
                painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(layer.rect.topLeft(), *layer.image);
        } else {
            // Opaque controls: any colour but the key colour will do.
            painter.fillRect(layer.rect, QColor(kKeyColour.red() ^ 0xFF, 0, 0));
        }
        painter.restore();
    }
    return composed;
}

QRegion shapeRegionOf(const QImage& composed) {
    QImage pixels = composed;
    pixels.setDevicePixelRatio(1.0);
    return QRegion(shapeOf(pixels));
}

QRegion coveringRegion(const QRegion& deviceShape, qreal ratio) {
    QRegion covering;
    for (const QRect& rect : deviceShape) {
        const int left = int(std::floor(rect.left() / ratio));
        const int top = int(std::floor(rect.top() / ratio));
        const int right = int(std::ceil((rect.right() + 1) / ratio));
        const int bottom = int(std::ceil((rect.bottom() + 1) / ratio));
        covering += QRect(left, top, right - left, bottom - top);
    }
    return covering;
}

QBitmap shapeOf(const QImage& composed) {
    // MaskInColor marks the key-colour pixels; as a bitmap they become the clear bits.
    return QBitmap::fromImage(composed.createMaskFromColor(kKeyColour.rgb(), Qt::MaskInColor));
}

}  // namespace plumo
