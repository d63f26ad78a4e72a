#include "sound/qt_media_player.h"

#include <QUrl>

namespace plumo {

QtMediaPlayer::QtMediaPlayer() { player_.setAudioOutput(&output_); }

QtMediaPlayer::~QtMediaPlayer() { close(); }

void QtMediaPlayer::open(const QString& path) {
    // Stopping first also rewinds, so opening the same file again plays it from the start.
    player_.stop();
    player_.setSource(QUrl::fromLocalFile(path));
}

void QtMediaPlayer::play() { player_.play(); }

void QtMediaPlayer::close() {
    player_.stop();
    player_.setSource(QUrl());
}

}  // namespace plumo
