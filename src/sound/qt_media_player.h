#pragma once

// The player on Qt Multimedia. Create it on the user-interface thread once the application
// object exists; playback runs in the media framework's own threads.

#include <QAudioDevice>  // qaudiooutput.h of Qt 6.4 needs it complete
#include <QAudioOutput>
#include <QMediaPlayer>

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

}  // namespace plumo
