#pragma once

// The one way to play a sound of the program folder's "sound/" folder.

#include <QString>
#include <optional>

#include "sound/player.h"

namespace plumo {

// The voice folders of the hourly chime.
inline const QString kVerolaVoiceFolder = QStringLiteral("vr/");
inline const QString kFemaleVoiceFolder = QStringLiteral("pc/");

// Plays programFolder + "sound/" + voiceFolder + fileName on `player`, cutting off the sound
// before. programFolder ends with '/'; voiceFolder is "vr/", "pc/" or empty. When the file
// is missing from "vr/", the file of the same name in "pc/" plays instead; no other folder
// falls back. Never reports a failure: a missing or broken file or no sound device is silent.
void playsound(Player& player, const QString& programFolder, const QString& fileName,
               const QString& voiceFolder);

// What the full hour plays for a voice type.
struct ChimeSound {
    QString fileName;
    QString voiceFolder;

    bool operator==(const ChimeSound&) const = default;
};

// Voice type 0: "<hour>.mp3" from "vr/"; 1: "<hour>.mp3" from "pc/"; 2: "dingding.mp3";
// any other type: nothing. `hour` is 0 to 23.
std::optional<ChimeSound> hourlyChime(int voiceType, int hour);

}  // namespace plumo
