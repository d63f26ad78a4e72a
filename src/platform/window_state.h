#pragma once

class QWidget;

namespace plumo {

// Keeps a window off the taskbar and the pager. Qt's tool-window flag alone does not
// do this under every window manager, and managers drop the state when the window is
// hidden, so it is applied before every show and again right after it.
void keepOffTaskbar(QWidget* window);

}  // namespace plumo
