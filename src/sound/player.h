#pragma once

// The one media player of the program: one sound at a time.

#include <QString>

namespace plumo {

class Player {
public:
    virtual ~Player() = default;
    // Stops the sound that plays, at once, and takes `path` as the next sound.
    virtual void open(const QString& path) = 0;
    // Plays the opened sound from its beginning without waiting for it to end.
    virtual void play() = 0;
    // Stops the sound that plays and lets go of it.
    virtual void close() = 0;
};

}  // namespace plumo
