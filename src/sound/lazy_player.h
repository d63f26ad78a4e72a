#pragma once

// A player that makes the real one only when the first sound is opened, so that the
// media framework costs nothing at start-up until a sound is wanted.

#include <QString>
#include <functional>
#include <memory>

#include "sound/player.h"

namespace plumo {

class LazyPlayer final : public Player {
public:
    // Makes the real player; may return null or throw when this machine cannot play
    // sounds, and every sound is then skipped without a word.
    using Factory = std::function<std::unique_ptr<Player>()>;

    explicit LazyPlayer(Factory factory);
    ~LazyPlayer() override;
    LazyPlayer(const LazyPlayer&) = delete;
    LazyPlayer& operator=(const LazyPlayer&) = delete;

    void open(const QString& path) override;
    void play() override;
    void close() override;

    // The real player once it has been made; null before, or when none could be made.
    Player* realPlayer() const { return player_.get(); }

private:
    // Makes the real player on the first call only.
    Player* ensurePlayer();

    Factory factory_;
    std::unique_ptr<Player> player_;
    bool factoryTried_ = false;
};

}  // namespace plumo
