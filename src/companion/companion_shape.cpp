#include "companion/companion_shape.h"

#include <QWidget>

namespace plumo {

CompanionShape::CompanionShape(QWidget* window, LayerSource layers)
    : QObject(window), window_(window), layers_(std::move(layers)) {}

QImage CompanionShape::composedLook() const {
    return composeOnKeyColour(window_->size(), layers_());
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
    const QImage shape = shapeOf(composedLook()).toImage();
    if (shape != lastShape_) {
        lastShape_ = shape;
        window_->setMask(QBitmap::fromImage(shape));
    }
    emit updated();
}

}  // namespace plumo
