// The entry point of the media player module.

#include "sound/media_player_module.h"
#include "sound/qt_media_player.h"

extern "C" __attribute__((visibility("default"))) plumo::Player* plumo_make_media_player() {
    try {
        return plumo::makeQtMediaPlayer().release();
    } catch (...) {
        return nullptr;  // no sound is worth ending the program for
    }
}
