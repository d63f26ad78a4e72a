#include "companion/core/full_screen_quiet.h"

namespace plumo {

bool FullScreenQuiet::applies() const {
    if (!watch_) return false;
    const ActiveWindow active = watch_->activeWindow();
    return active.fullScreen && !active.ownWindow && active.onReferenceScreen;
}

SoundAction FullScreenQuiet::soundAction(SoundReason reason) const {
    if (!applies()) return SoundAction::PlayNow;
    return reason == SoundReason::DueItem ? SoundAction::Hold : SoundAction::Drop;
}

}  // namespace plumo
