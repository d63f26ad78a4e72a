#pragma once

// The real media player lives in a module of its own, loaded with the first sound, so
// that the program starts without Qt Multimedia and its libraries.

#include <QString>
#include <memory>

#include "sound/player.h"

namespace plumo {

// The module's file name in the program folder.
inline const QString kMediaPlayerModule = QStringLiteral("plumo_media_player.so");

// The function the module exports: a new player owned by the caller, or null when this
// machine cannot play sounds.
extern "C" using MakeMediaPlayerFunction = Player * ();
inline constexpr char kMakeMediaPlayerSymbol[] = "plumo_make_media_player";

// Loads the module (once per process; it stays loaded) and makes a player with it. Null
// when the module is missing or broken, or makes no player.
std::unique_ptr<Player> loadMediaPlayer(const QString& moduleFile);

}  // namespace plumo
