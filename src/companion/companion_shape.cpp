#include "companion/companion_shape.h"

#include <QWidget>

#include "platform/device_pixel_shape.h"

namespace plumo {

CompanionShape::CompanionShape(QWidget* window, LayerSource layers, RatioSource ratio,
                               DeviceShapeSetter deviceShape)
    : QObject(window),
      window_(window),
      layers_(std::move(layers)),
      ratio_(std::move(ratio)),
      deviceShape_(deviceShape ? std::move(deviceShape) : DeviceShapeSetter(setDevicePixelShape)) {}

qreal CompanionShape::ratio() const { return ratio_ ? ratio_() : window_->devicePixelRatioF(); }

QImage CompanionShape::composedLook() const {
    const qreal deviceRatio = ratio();
    if (deviceRatio <= 1.0) return composeOnKeyColour(window_->size(), layers_());
    return composeOnKeyColour(window_->size(), deviceRatio, layers_());
}

void CompanionShape::schedule() {
    if (pending_) return;
    pending_ = true;
    QMetaObject::invokeMethod(this, &CompanionShape::updateIfScheduled, Qt::QueuedConnection);
}

void CompanionShape::updateIfScheduled() {
    if (pending_) update();
}

void CompanionShape::update() {
    pending_ = false;
    const QImage composed = composedLook();
    if (composed.devicePixelRatio() <= 1.0) {
        const QImage shape = shapeOf(composed).toImage();
        if (shape != lastShape_) {
            lastShape_ = shape;
            window_->setMask(QBitmap::fromImage(shape));
        }
    } else {
        QImage pixels = composed;
        pixels.setDevicePixelRatio(1.0);
        const QImage shape = shapeOf(pixels).toImage();
        if (shape != lastShape_) {
            lastShape_ = shape;
            const QRegion deviceShape(QBitmap::fromImage(shape));
            // Qt keeps a mask that leaves nothing of her out, and applies it where the
            // window system takes no shape in device pixels.
            window_->setMask(coveringRegion(deviceShape, composed.devicePixelRatio()));
            deviceShape_(window_, deviceShape);
        }
    }
    emit updated();
}

}  // namespace plumo
