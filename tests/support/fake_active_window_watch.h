#pragma once

#include "platform/window_state.h"

namespace plumo::test {

// The active window as the test sets it.
class FakeActiveWindowWatch final : public ActiveWindowWatch {
public:
    ActiveWindow activeWindow() const override { return window; }

    void showFullScreen() { window = {true, false, true}; }
    void leaveFullScreen() { window = {}; }

    ActiveWindow window;
};

}  // namespace plumo::test
