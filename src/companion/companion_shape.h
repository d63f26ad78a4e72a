#pragma once

// The companion window's see-through shape: composed from the layers she paints onto the
// key colour and cut where exactly the key colour shows. It is worked out again only when
// her look may have changed, at most once per turn of the event loop, and handed to the
// window system only when it really differs.

#include <QImage>
#include <QObject>
#include <functional>
#include <vector>

#include "image/window_shape.h"

class QWidget;

namespace plumo {

class CompanionShape : public QObject {
    Q_OBJECT
public:
    using LayerSource = std::function<std::vector<ShapeLayer>()>;

    // `window` gets the mask; `layers` lists what it paints, bottom to top.
    CompanionShape(QWidget* window, LayerSource layers);

    // Her look may have changed: the shape follows on the next turn of the event loop.
    void schedule();
    // Brings the shape up to date now, unless nothing was scheduled.
    void updateIfScheduled();
    // Brings the shape up to date now.
    void update();

    // The window's look composed onto the key colour, as it is painted.
    QImage composedLook() const;

signals:
    // Emitted after every update, whether or not the mask changed.
    void updated();

private:
    QWidget* window_;
    LayerSource layers_;
    bool pending_ = false;
    QImage lastShape_;
};

}  // namespace plumo
