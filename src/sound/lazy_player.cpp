#include "sound/lazy_player.h"

namespace plumo {

LazyPlayer::LazyPlayer(Factory factory) : factory_(std::move(factory)) {}

LazyPlayer::~LazyPlayer() = default;

Player* LazyPlayer::ensurePlayer() {
    if (!factoryTried_) {
        factoryTried_ = true;
        try {
            if (factory_) player_ = factory_();
        } catch (...) {
            player_.reset();  // no player on this machine: sounds are skipped
        }
    }
    return player_.get();
}

void LazyPlayer::open(const QString& path) {
    if (Player* player = ensurePlayer()) player->open(path);
}

void LazyPlayer::play() {
    if (Player* player = ensurePlayer()) player->play();
}

void LazyPlayer::close() {
    // Nothing to stop before the first sound.
    if (player_) player_->close();
}

}  // namespace plumo
