#pragma once

// Quiet while another program shows a window full-screen: while the active window of the
// display is full-screen on her screen and not one of her own, she plays no sound and
// does not raise herself over it; what she says still shows in her bubble.

#include "platform/window_state.h"

namespace plumo {

// Why a sound would play.
enum class SoundReason {
    Chime,    // the full hour
    DueItem,  // a memo item falls due
    Message,  // a count, advice, the greeting
};

enum class SoundAction {
    PlayNow,
    Hold,  // plays once the full-screen window is gone, if still wanted then
    Drop,
};

class FullScreenQuiet {
public:
    // Without a watch she is never quiet.
    explicit FullScreenQuiet(const ActiveWindowWatch* watch = nullptr) : watch_(watch) {}

    bool applies() const;
    // Whether she may raise or activate her window, or show it from hiding.
    bool mayRaise() const { return !applies(); }
    // A due item's sound waits for the full-screen window to go; the chime of that hour
    // and every other sound are not played at all.
    SoundAction soundAction(SoundReason reason) const;

private:
    const ActiveWindowWatch* watch_;
};

}  // namespace plumo
