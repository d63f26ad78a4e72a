#pragma once

// The companion window's see-through shape: composed from the layers she paints onto the
// key colour and cut where exactly the key colour shows. It is worked out again only when
// her look may have changed, at most once per turn of the event loop, and handed to the
// window system only when it really differs.
//
// At more than one device pixel per pixel the layers are composed at the device pixels,
// so that the shape follows pictures drawn for them: the window system gets that shape in
// device pixels, and QWidget::setMask the window pixels that hold any of it.

#include <QImage>
#include <QObject>
#include <functional>
#include <vector>

#include "image/window_shape.h"

class QRegion;
class QWidget;

namespace plumo {

class CompanionShape : public QObject {
    Q_OBJECT
public:
    using LayerSource = std::function<std::vector<ShapeLayer>()>;
    // Hands a shape in device pixels to the window system; false where it takes none.
    using DeviceShapeSetter = std::function<bool(QWidget*, const QRegion&)>;
    using RatioSource = std::function<qreal()>;

    // `window` gets the mask; `layers` lists what it paints, bottom to top. The device
    // pixel ratio is the window's and the device shape goes to the X server unless given.
    CompanionShape(QWidget* window, LayerSource layers, RatioSource ratio = {},
                   DeviceShapeSetter deviceShape = {});

    // Her look may have changed: the shape follows on the next turn of the event loop.
    void schedule();
    // Brings the shape up to date now, unless nothing was scheduled.
    void updateIfScheduled();
    // Brings the shape up to date now.
    void update();

    // The window's look composed onto the key colour, as it is painted: at the window's
    // device pixels when it has more than one per pixel.
    QImage composedLook() const;

signals:
    // Emitted after every update, whether or not the mask changed.
    void updated();

private:
    qreal ratio() const;

    QWidget* window_;
    LayerSource layers_;
    RatioSource ratio_;
    DeviceShapeSetter deviceShape_;
    bool pending_ = false;
    QImage lastShape_;
};

}  // namespace plumo
