#pragma once

#include <QString>
#include <QStringList>
#include <stdexcept>

#include "sound/player.h"

namespace plumo::test {

// Plays nothing; records what it was asked to play and which sound a new one cut off.
// Can be told to fail like a player without a sound device.
class RecordingPlayer final : public Player {
public:
    void open(const QString& path) override {
        stopPlaying();
        if (failOpen) throw std::runtime_error("no sound device");
        opened << path;
        current_ = path;
    }
    void play() override {
        played << current_;
        playing = current_;
    }
    void close() override {
        stopPlaying();
        current_.clear();
    }

    QStringList opened;
    QStringList played;
    QStringList cutOff;  // sounds stopped before they could end
    QString playing;
    bool failOpen = false;

private:
    void stopPlaying() {
        if (!playing.isEmpty()) cutOff << playing;
        playing.clear();
    }
    QString current_;
};

}  // namespace plumo::test
