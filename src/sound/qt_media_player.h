#pragma once

// The player on Qt Multimedia. Create it on the user-interface thread once the application
// object exists; playback runs in the media framework's own threads.

#include <QAudioDevice>  // qaudiooutput.h of Qt 6.4 needs it complete
#include <QAudioOutput>
#include <QMediaPlayer>
#include <memory>

#include "sound/player.h"

namespace plumo {

class QtMediaPlayer final : public Player {
public:
    QtMediaPlayer();
    ~QtMediaPlayer() override;
    QtMediaPlayer(const QtMediaPlayer&) = delete;
    QtMediaPlayer& operator=(const QtMediaPlayer&) = delete;

    void open(const QString& path) override;
    void play() override;
    void close() override;

    // For watching playback (status, position, errors); errors are never acted upon.
    QMediaPlayer& mediaPlayer() { return player_; }

private:
    QAudioOutput output_;
    QMediaPlayer player_;
};

// Whether Qt Multimedia can play here. Qt ends the whole program when no media back end
// can be loaded (none installed, or QT_MEDIA_BACKEND names a missing one), and the FFmpeg
// back end crashes without an audio output, so both are checked before a player is made.
// Call it on the user-interface thread once the application object exists.
bool qtMediaPlaybackAvailable();

// A QtMediaPlayer when Qt Multimedia can play here, else null.
std::unique_ptr<Player> makeQtMediaPlayer();

}  // namespace plumo
