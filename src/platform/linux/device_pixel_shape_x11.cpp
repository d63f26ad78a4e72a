#include <xcb/shape.h>
#include <xcb/xcb.h>
#include <QGuiApplication>
#include <QRegion>
#include <QWidget>

#include <vector>

#include "platform/device_pixel_shape.h"

namespace plumo {
namespace {

bool hasShapeExtension(xcb_connection_t* connection) {
    const xcb_query_extension_reply_t* shape = xcb_get_extension_data(connection, &xcb_shape_id);
    return shape && shape->present;
}

}  // namespace

bool setDevicePixelShape(QWidget* window, const QRegion& deviceShape) {
    if (!window || QGuiApplication::platformName() != QLatin1String("xcb")) return false;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection || !hasShapeExtension(connection)) return false;
    // The native window is made here if need be; Qt applies its own mask as it makes it,
    // so this shape, sent after, is the one that stands.
    const auto id = static_cast<xcb_window_t>(window->winId());
    if (deviceShape.isEmpty()) {
        // As QWidget::setMask takes an empty region: no shape, the whole window.
        xcb_shape_mask(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, id, 0, 0, XCB_NONE);
        xcb_flush(connection);
        return true;
    }
    std::vector<xcb_rectangle_t> rectangles;
    rectangles.reserve(static_cast<std::size_t>(deviceShape.rectCount()));
    for (const QRect& rect : deviceShape)
        rectangles.push_back({static_cast<int16_t>(rect.x()), static_cast<int16_t>(rect.y()),
                              static_cast<uint16_t>(rect.width()),
                              static_cast<uint16_t>(rect.height())});
    xcb_shape_rectangles(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING,
                         XCB_CLIP_ORDERING_UNSORTED, id, 0, 0,
                         static_cast<uint32_t>(rectangles.size()), rectangles.data());
    xcb_flush(connection);
    return true;
}

}  // namespace plumo
