#include "platform/linux/x11_active_window_watch.h"

#include <xcb/xcb.h>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace plumo {
namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;

// On another program's window: its state and its mapping. This client's mask on a window
// is its own, so setting it disturbs no other client.
constexpr std::uint32_t kFollowedEvents =
    XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;

}  // namespace

X11ActiveWindowWatch::X11ActiveWindowWatch() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) return;
    xcb_connection_t* connection = x11->connection();
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;

    const char* const names[] = {"_NET_ACTIVE_WINDOW", "_NET_WM_STATE", "_NET_WM_STATE_FULLSCREEN"};
    std::uint32_t* const atoms[] = {&activeAtom_, &stateAtom_, &fullScreenAtom_};
    xcb_intern_atom_cookie_t cookies[3];
    for (int i = 0; i < 3; ++i)
        cookies[i] = xcb_intern_atom(connection, 0,
                                     static_cast<std::uint16_t>(std::strlen(names[i])), names[i]);
    auto attributesCookie = xcb_get_window_attributes(connection, root_);
    for (int i = 0; i < 3; ++i) {
        Reply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(connection, cookies[i], nullptr));
        *atoms[i] = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }
    Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(connection, attributesCookie, nullptr));
    if (!attributes || activeAtom_ == XCB_ATOM_NONE || stateAtom_ == XCB_ATOM_NONE ||
        fullScreenAtom_ == XCB_ATOM_NONE)
        return;
    // The root window's property events: Qt selects them already; added to, never replaced.
    if (!(attributes->your_event_mask & XCB_EVENT_MASK_PROPERTY_CHANGE)) {
        const std::uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(connection, root_, XCB_CW_EVENT_MASK, &mask);
    }
    connection_ = connection;
    QCoreApplication::instance()->installNativeEventFilter(this);
    followActiveWindow();
}

X11ActiveWindowWatch::~X11ActiveWindowWatch() {
    if (!connection_) return;
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
    stopFollowing();
    xcb_flush(connection_);
}

ActiveWindow X11ActiveWindowWatch::activeWindow() const {
    ActiveWindow window;
    window.fullScreen = fullScreen_;
    window.ownWindow = own_;
    window.onReferenceScreen = fullScreen_ && !own_ && onReferenceScreen();
    return window;
}

bool X11ActiveWindowWatch::onReferenceScreen() const {
    QScreen* screen = reference_ ? reference_->screen() : nullptr;
    if (!screen) return true;
    // A screen's position is in the display's pixels, its size in Qt's scaled ones.
    const QRect logical = screen->geometry();
    const QRect native(logical.topLeft(), logical.size() * screen->devicePixelRatio());
    return native.intersects(area_);
}

bool X11ActiveWindowWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    switch (event->response_type & 0x7f) {
        case XCB_PROPERTY_NOTIFY: {
            auto* change = reinterpret_cast<xcb_property_notify_event_t*>(event);
            if (change->window == root_ && change->atom == activeAtom_)
                followActiveWindow();
            else if (selected_ && change->window == active_ && change->atom == stateAtom_)
                readState();
            break;
        }
        case XCB_CONFIGURE_NOTIFY: {
            auto* configure = reinterpret_cast<xcb_configure_notify_event_t*>(event);
            if (selected_ && fullScreen_ && configure->window == active_) readState();
            break;
        }
        case XCB_MAP_NOTIFY: {
            if (selected_ && reinterpret_cast<xcb_map_notify_event_t*>(event)->window == active_)
                readState();
            break;
        }
        case XCB_UNMAP_NOTIFY: {
            // Minimised: no longer over anything.
            if (selected_ && reinterpret_cast<xcb_unmap_notify_event_t*>(event)->window == active_)
                fullScreen_ = false;
            break;
        }
        case XCB_DESTROY_NOTIFY: {
            if (selected_ &&
                reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window == active_) {
                selected_ = false;
                active_ = 0;
                fullScreen_ = false;
            }
            break;
        }
        default:
            break;
    }
    return false;  // Qt handles every event as before
}

void X11ActiveWindowWatch::followActiveWindow() {
    auto cookie = xcb_get_property(connection_, 0, root_, activeAtom_, XCB_ATOM_WINDOW, 0, 1);
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection_, cookie, nullptr));
    std::uint32_t window = 0;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply.get()) >= 4)
        window = *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    if (window == active_ && (selected_ || window == 0 || own_)) return;

    stopFollowing();
    active_ = window;
    fullScreen_ = false;
    area_ = QRect();
    own_ = window != 0 && isOwnWindow(window);
    // Qt's own windows carry Qt's event mask, which is not to be touched.
    if (window == 0 || own_) return;
    auto select = xcb_change_window_attributes_checked(connection_, window, XCB_CW_EVENT_MASK,
                                                       &kFollowedEvents);
    xcb_discard_reply(connection_, select.sequence);  // the window may be gone already
    selected_ = true;
    readState();
}

void X11ActiveWindowWatch::readState() {
    auto cookie = xcb_get_property(connection_, 0, active_, stateAtom_, XCB_ATOM_ATOM, 0, 64);
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection_, cookie, nullptr));
    bool fullScreen = false;
    if (reply && reply->format == 32) {
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
        const int count = xcb_get_property_value_length(reply.get()) / 4;
        fullScreen = std::find(atoms, atoms + count, fullScreenAtom_) != atoms + count;
    }
    area_ = QRect();
    if (fullScreen) {
        auto geometryCookie = xcb_get_geometry(connection_, active_);
        auto originCookie = xcb_translate_coordinates(connection_, active_, root_, 0, 0);
        Reply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(connection_, geometryCookie, nullptr));
        Reply<xcb_translate_coordinates_reply_t> origin(
            xcb_translate_coordinates_reply(connection_, originCookie, nullptr));
        if (geometry && origin)
            area_ = QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
    }
    fullScreen_ = fullScreen && !area_.isEmpty();
}

void X11ActiveWindowWatch::stopFollowing() {
    if (!selected_) return;
    selected_ = false;
    const std::uint32_t none = 0;
    auto cookie =
        xcb_change_window_attributes_checked(connection_, active_, XCB_CW_EVENT_MASK, &none);
    xcb_discard_reply(connection_, cookie.sequence);
}

bool X11ActiveWindowWatch::isOwnWindow(std::uint32_t window) const {
    const auto windows = QGuiApplication::allWindows();
    return std::any_of(windows.begin(), windows.end(),
                       [window](QWindow* own) { return own->handle() && own->winId() == window; });
}

}  // namespace plumo
