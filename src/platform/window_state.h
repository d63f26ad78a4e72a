#pragma once

#include <functional>

class QWidget;

namespace plumo {

// Keeps a window off the taskbar and the pager. Qt's tool-window flag alone does not
// do this under every window manager, and managers drop the state when the window is
// hidden, so it is applied before every show and again right after it.
void keepOffTaskbar(QWidget* window);

// Shows a hidden `window` through `show` (its base class's setVisible(true)) with no
// taskbar button: asked for before the window is mapped, and again once it is.
void showOffTaskbar(QWidget* window, const std::function<void()>& show);

// What the window manager says of the active window of the display.
struct ActiveWindow {
    bool fullScreen = false;  // shown full-screen
    bool ownWindow = false;   // one of this program's own windows
    // On the screen of the window the watch measures against (a full-screen window on
    // another monitor is not).
    bool onReferenceScreen = false;
};

// Follows the active window of the display.
class ActiveWindowWatch {
public:
    virtual ~ActiveWindowWatch() = default;
    // As the window manager last reported it: reading it asks the display nothing.
    virtual ActiveWindow activeWindow() const = 0;
};

}  // namespace plumo
