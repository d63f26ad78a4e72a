#include "sound/media_player_module.h"

#include <QLibrary>

namespace plumo {

std::unique_ptr<Player> loadMediaPlayer(const QString& moduleFile) {
    QLibrary module(moduleFile);
    // The player's code stays in memory after `module` goes: QLibrary only unloads on
    // request.
    auto* make = reinterpret_cast<MakeMediaPlayerFunction*>(module.resolve(kMakeMediaPlayerSymbol));
    if (!make) return nullptr;
    return std::unique_ptr<Player>(make());
}

}  // namespace plumo
