#include "sound/playsound.h"

#include <QFileInfo>

namespace plumo {

namespace {

bool isFile(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

}  // namespace

void playsound(Player& player, const QString& programFolder, const QString& fileName,
               const QString& voiceFolder) {
    const QString soundFolder = programFolder + QStringLiteral("sound/");
    QString path = soundFolder + voiceFolder + fileName;
    if (voiceFolder == kVerolaVoiceFolder && !isFile(path)) {
        path = soundFolder + kFemaleVoiceFolder + fileName;
    }
    try {
        player.open(path);
        player.play();
    } catch (...) {
        // Sounds are never worth an error message.
    }
}

std::optional<ChimeSound> hourlyChime(int voiceType, int hour) {
    const QString hourFile = QString::number(hour) + QStringLiteral(".mp3");
    switch (voiceType) {
        case 0:
            return ChimeSound{hourFile, kVerolaVoiceFolder};
        case 1:
            return ChimeSound{hourFile, kFemaleVoiceFolder};
        case 2:
            return ChimeSound{QStringLiteral("dingding.mp3"), QString()};
        default:
            return std::nullopt;
    }
}

}  // namespace plumo
