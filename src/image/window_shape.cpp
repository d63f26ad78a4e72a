#include "image/window_shape.h"

#include <QPainter>

namespace plumo {

QImage composeOnKeyColour(const QSize& size, const std::vector<ShapeLayer>& layers) {
    QImage composed(size, QImage::Format_RGB32);
    composed.fill(kKeyColour);
    QPainter painter(&composed);
    for (const ShapeLayer& layer : layers) {
        painter.save();
        painter.setClipRect(layer.rect);
        if (layer.image) {
            painter.drawImage(layer.rect.topLeft(), *layer.image);
        } else {
            // Opaque controls: any colour but the key colour will do.
            painter.fillRect(layer.rect, QColor(kKeyColour.red() ^ 0xFF, 0, 0));
        }
        painter.restore();
    }
    return composed;
}

QBitmap shapeOf(const QImage& composed) {
    // MaskInColor marks the key-colour pixels; as a bitmap they become the clear bits.
    return QBitmap::fromImage(composed.createMaskFromColor(kKeyColour.rgb(), Qt::MaskInColor));
}

}  // namespace plumo
