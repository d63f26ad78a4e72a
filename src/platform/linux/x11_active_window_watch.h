#pragma once

#include <QAbstractNativeEventFilter>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <cstdint>

#include "platform/window_state.h"

struct xcb_connection_t;

namespace plumo {

// The window manager's active window on the X display, followed through property events:
// _NET_ACTIVE_WINDOW on the root window names it, its own _NET_WM_STATE says whether it is
// full-screen. The display is asked only when one of them changes, never to read the
// answer. Off X (a Wayland session's own windows) no window is ever reported.
class X11ActiveWindowWatch final : public ActiveWindowWatch, private QAbstractNativeEventFilter {
public:
    // Needs the application object; starts following at once.
    X11ActiveWindowWatch();
    ~X11ActiveWindowWatch() override;
    X11ActiveWindowWatch(const X11ActiveWindowWatch&) = delete;
    X11ActiveWindowWatch& operator=(const X11ActiveWindowWatch&) = delete;

    // A full-screen window counts only on the screen this window is on; without one, on all.
    void setReferenceWindow(QWidget* window) { reference_ = window; }
    ActiveWindow activeWindow() const override;

private:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    void followActiveWindow();
    void readState();
    void stopFollowing();
    bool isOwnWindow(std::uint32_t window) const;
    bool onReferenceScreen() const;

    xcb_connection_t* connection_ = nullptr;  // null off X
    std::uint32_t root_ = 0;
    std::uint32_t activeAtom_ = 0;
    std::uint32_t stateAtom_ = 0;
    std::uint32_t fullScreenAtom_ = 0;
    std::uint32_t active_ = 0;  // the active window; 0 for none
    bool selected_ = false;     // its events come to us: another program's window
    bool own_ = false;
    bool fullScreen_ = false;
    QRect area_;  // where the full-screen window lies, in the display's pixels
    QPointer<QWidget> reference_;
};

}  // namespace plumo
